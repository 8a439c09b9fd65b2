// Arbitrary registry answers to the modem detection: every value read stays inside the 257-byte
// buffer, enumeration ends, and detection either finds exactly one modem or ends the program
// with its list inside its eleven slots.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "detect/modem_detection.h"
#include "fuzz_machine.h"

namespace {

using namespace nimbra;

// Each call takes its answer from the input: whether a key opens, which subkey names exist,
// what a value holds and how large it claims to be. It keeps the interface's promise never to
// write beyond what the caller offers.
class InputRegistry : public platform::Registry {
 public:
  explicit InputRegistry(FuzzedDataProvider& input) : input_(input) {}

  int32_t RegOpenKeyExA(platform::HKEY, std::string_view, uint32_t, uint32_t,
                        platform::HKEY& result) override {
    result = ++next_key_;
    return input_.ConsumeBool() ? platform::ERROR_SUCCESS : platform::ERROR_FILE_NOT_FOUND;
  }
  int32_t RegEnumKeyExA(platform::HKEY, uint32_t, std::span<char> name,
                        uint32_t& name_length) override {
    if (input_.remaining_bytes() == 0) return platform::ERROR_NO_MORE_ITEMS;
    switch (input_.ConsumeIntegralInRange<int>(0, 3)) {
      case 0:
        return platform::ERROR_NO_MORE_ITEMS;
      case 1:
        return platform::ERROR_MORE_DATA;
      default: {
        const std::string text = input_.ConsumeRandomLengthString(300);
        const size_t room = std::min<size_t>(name_length, name.size());
        if (room == 0 || text.size() >= room) return platform::ERROR_MORE_DATA;
        std::copy(text.begin(), text.end(), name.begin());
        name[text.size()] = '\0';
        name_length = static_cast<uint32_t>(text.size());
        return platform::ERROR_SUCCESS;
      }
    }
  }
  int32_t RegQueryValueExA(platform::HKEY, std::string_view, uint32_t* type,
                           std::span<uint8_t> data, uint32_t& size) override {
    if (!input_.ConsumeBool()) return platform::ERROR_FILE_NOT_FOUND;
    const uint32_t value_type = input_.ConsumeIntegralInRange<uint32_t>(0, 4);
    const std::string value = input_.ConsumeRandomLengthString(600);
    if (type) *type = value_type;
    const size_t offered = std::min<size_t>(size, data.size());
    size = static_cast<uint32_t>(value.size());
    if (offered == 0) return platform::ERROR_SUCCESS;
    if (value.size() > offered) return platform::ERROR_MORE_DATA;
    std::copy(value.begin(), value.end(), data.begin());
    return platform::ERROR_SUCCESS;
  }
  int32_t RegSetValueExA(platform::HKEY, std::string_view, uint32_t, uint32_t,
                         std::span<const uint8_t>) override {
    return platform::ERROR_ACCESS_DENIED;
  }
  int32_t RegDeleteValueA(platform::HKEY, std::string_view) override {
    return platform::ERROR_ACCESS_DENIED;
  }
  int32_t RegFlushKey(platform::HKEY) override { return platform::ERROR_SUCCESS; }
  int32_t RegCloseKey(platform::HKEY) override { return platform::ERROR_SUCCESS; }

 private:
  FuzzedDataProvider& input_;
  platform::HKEY next_key_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  sim::Process& process = fuzz::fuzz_process();
  platform::Platform& base = process.platform();
  InputRegistry registry(input);
  sim::SimWindow window(fuzz::fuzz_machine().scheduler());
  platform::Platform services{base.kernel, registry, base.runtime, window,
                              base.comm,   base.ras, base.shell};
  shell::AppContext app(services);
  const int16_t codes[] = {10, 20, 30, 130, 140};
  app.OsCode = codes[input.ConsumeIntegralInRange<size_t>(0, std::size(codes) - 1)];
  bool ended = false;
  try {
    detect::detect_modems(app);
  } catch (const sim::ProgramEnded&) {
    ended = true;
  }
  if (app.ModemCount < 0 || app.ModemCount > 11) std::abort();
  if (!ended && app.ModemCount != 1) std::abort();
  return 0;
}
