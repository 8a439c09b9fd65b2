// SPDX-License-Identifier: MIT
// A machine with the dial-up service for the remote-access tests: one program instance with its
// window attached.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialup/session/ras_records.h"
#include "nimbra_test/test_machine.h"
#include "platform/text/bytes.h"
#include "platform/controls/controls.h"
#include "platform/ras.h"

namespace nimbra::test {

inline constexpr std::string_view kKvt30Device = "ARLEN DENSHI CO.,LTD. KVT30-J";

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
    const auto record =
        dialup::build_entry_record(service().settings().entry_size, "0570012345", kKvt30Device);
    if (ras().RasSetEntryPropertiesA(std::nullopt, "KVAUTODL", record) != 0 ||
        ras().RasSetEntryDialParamsA(std::nullopt, dial_params(user, password), false) != 0) {
      throw std::runtime_error("cannot provision KVAUTODL");
    }
  }

  // Starts an asynchronous dial of KVAUTODL to the attached window.
  uint32_t dial(std::string_view user, std::string_view password, platform::HRASCONN& handle) {
    return ras().RasDialA(std::nullopt, dial_params(user, password), platform::kNotifierWindow,
                          hwnd_, handle);
  }

 private:
  std::vector<uint8_t> dial_params(std::string_view user, std::string_view password) const {
    return dialup::build_dial_params(
        nt() ? platform::kDialParamsNT : platform::kDialParams9x,
        {"KVAUTODL", "", "", std::string(user), std::string(password), ""});
  }
  sim::DialupService& service() const { return machine_.machine().dialup(); }

  mutable TestMachine machine_;
  sim::Process& process_;
  platform::Form form_;
  platform::Hwnd hwnd_;
};

}  // namespace nimbra::test
