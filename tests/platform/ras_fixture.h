// A machine with the dial-up service for the remote-access tests: one program instance with its
// window attached, and record builders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "nimbra_test/test_machine.h"
#include "platform/bytes.h"
#include "platform/controls.h"
#include "platform/ras.h"

namespace nimbra::test {

inline constexpr std::string_view kKvt30Device = "ARLEN DENSHI CO.,LTD. KVT30-J";

// The entry record as the program writes it: size field, options, area code, local number, IP
// over PPP, and the modem.
inline std::vector<uint8_t> entry_record(uint32_t size, std::string_view device,
                                         std::string_view number = "0570012345") {
  std::vector<uint8_t> r(size);
  bytes::put_u32(r, 0, size);
  bytes::put_u32(r, 4, 0x05200130);
  bytes::put_cstr(r, 16, 11, "03");
  bytes::put_cstr(r, 27, 129, number);
  bytes::put_u32(r, 184, 4);
  bytes::put_u32(r, 188, 1);
  bytes::put_cstr(r, 972, 17, "modem");
  bytes::put_cstr(r, 989, size == 1672 ? 33 : 129, device);
  return r;
}

// A dial-parameter record of the NT (736 bytes) or 9x (1052 bytes) layout.
inline std::vector<uint8_t> dial_params(bool nt, std::string_view entry, std::string_view user,
                                        std::string_view password) {
  std::vector<uint8_t> r(nt ? 736 : 1052);
  bytes::put_u32(r, 0, static_cast<uint32_t>(r.size()));
  bytes::put_cstr(r, 4, nt ? 21 : 257, entry);
  bytes::put_cstr(r, nt ? 203 : 519, 257, user);
  bytes::put_cstr(r, nt ? 460 : 776, 257, password);
  return r;
}

class RasMachine {
 public:
  explicit RasMachine(std::string_view extra_ini = "",
                      sim::WindowsVersion windows = sim::WindowsVersion::XP,
                      platform::Language language = platform::Language::English)
      : machine_(with_card(windows, language), extra_ini),
        process_(machine_.machine().start_process()),
        form_("MainForm"),
        hwnd_(process_.window().attach(form_)) {}
  ~RasMachine() { process_.window().detach(form_); }

  sim::Machine& machine() { return machine_.machine(); }
  const std::filesystem::path& dir() const { return machine_.dir(); }
  platform::Ras& ras() { return process_.ras(); }
  sim::DialupService& service() { return machine().dialup(); }
  bool nt() const { return service().settings().nt_family; }

  // Writes KVAUTODL for the machine's card with the account stored.
  void provision(std::string_view user = "qenvora", std::string_view password = "qenvora") {
    const auto record = entry_record(service().settings().entry_size, kKvt30Device);
    if (ras().RasSetEntryPropertiesA(std::nullopt, "KVAUTODL", record) != 0 ||
        ras().RasSetEntryDialParamsA(std::nullopt, dial_params(nt(), "KVAUTODL", user, password),
                                     false) != 0) {
      throw std::runtime_error("cannot provision KVAUTODL");
    }
  }

  // Starts an asynchronous dial of KVAUTODL to the attached window.
  uint32_t dial(std::string_view user, std::string_view password, platform::HRASCONN& handle) {
    return ras().RasDialA(std::nullopt, dial_params(nt(), "KVAUTODL", user, password),
                          platform::kNotifierWindow, hwnd_, handle);
  }

 private:
  sim::DialupService& service() const { return machine_.machine().dialup(); }

  mutable TestMachine machine_;
  sim::Process& process_;
  platform::Form form_;
  platform::Hwnd hwnd_;
};

}  // namespace nimbra::test
