// SPDX-License-Identifier: MIT
#include "detect/registry_helpers.h"

#include "shell/registry_access.h"

namespace nimbra::detect {

using shell::RegKey;

std::vector<std::string> EnumSubKeys(shell::AppContext& app, platform::HKEY root,
                                     std::string_view path) {
  std::vector<std::string> names;
  const RegKey key(app, root, path, platform::KEY_READ);
  if (!key.is_open()) return names;
  for (uint32_t index = 0; index < kMaxSubkeyIndex; ++index) {
    std::string name;
    const int32_t result = shell::enum_subkey(app, key, index, name);
    if (result == platform::ERROR_NO_MORE_ITEMS) break;
    if (result == platform::ERROR_SUCCESS) names.push_back(std::move(name));
  }
  return names;
}

std::optional<std::string> ReadRegString(shell::AppContext& app, platform::HKEY root,
                                         std::string_view path, std::string_view value_name) {
  const RegKey key(app, root, path, platform::KEY_READ);
  if (!key.is_open()) return {};
  return shell::read_string_value(app, key, value_name);
}

std::vector<UsbModem> FindUsbModems(shell::AppContext& app) {
  std::vector<UsbModem> found;
  for (const SupportedDevice* device : usb_search_order()) {
    for (const std::string& instance :
         EnumSubKeys(app, platform::HKEY_LOCAL_MACHINE, device->nt_enum_key)) {
      found.push_back({std::string(device->nt_instance_id) + "\\" + instance,
                       std::string(device->nt_enum_key) + "\\" + instance, device});
    }
  }
  return found;
}

int16_t port_number(std::string_view port_name) {
  constexpr int kLargest = 32767;
  if (port_name.size() <= 3) return 0;
  std::string_view digits = port_name.substr(3);
  digits.remove_prefix(std::min(digits.find_first_not_of(' '), digits.size()));
  int value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > kLargest) return 0;
  }
  return static_cast<int16_t>(value);
}

}  // namespace nimbra::detect
