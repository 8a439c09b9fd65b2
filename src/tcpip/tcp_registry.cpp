// SPDX-License-Identifier: MIT
#include "tcpip/tcp_registry.h"

#include <span>
#include <string>

#include "diag/reply_text.h"

namespace nimbra::tcpip {

void for_each_dialup_adapter(shell::AppContext& app, const shell::RegKey& class_net,
                             uint32_t access,
                             const std::function<void(const shell::RegKey&)>& treat) {
  // Windows lists the adapter in its own language, whatever language the window speaks.
  const std::string dialup_adapter =
      shell::Catalogue(app.platform.kernel.system_language()).str(127);
  std::string name;
  for (uint32_t index = 0;; ++index) {
    const int32_t result = shell::enum_subkey(app, class_net, index, name);
    if (result == platform::ERROR_MORE_DATA) continue;  // a name too long: that subkey only
    // Past the last subkey, or the key itself failed (deleted meanwhile): no later index can
    // succeed, so the walk ends rather than asking forever.
    if (result != platform::ERROR_SUCCESS) break;
    const shell::RegKey adapter(app, platform::HKEY_LOCAL_MACHINE,
                                std::string(kClassNetKey) + "\\" + name, access);
    if (!adapter.is_open()) continue;
    if (shell::read_value_text(app, adapter, "DriverDesc") == dialup_adapter) treat(adapter);
  }
}

std::optional<int32_t> read_number(shell::AppContext& app, const shell::RegKey& key,
                                   std::string_view value_name) {
  const auto text = shell::read_value_text(app, key, value_name);
  if (!text) return std::nullopt;
  return diag::NumericField32(*text);
}

void write_number(shell::AppContext& app, const shell::RegKey& key, std::string_view value_name,
                  int64_t number) {
  const std::string text = std::to_string(number);
  // The ANSI string with its NUL, as a text value is stored.
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
  app.platform.registry.RegSetValueExA(key.handle(), value_name, 0, platform::REG_SZ,
                                       std::span<const uint8_t>(bytes, text.size() + 1));
}

void delete_value(shell::AppContext& app, const shell::RegKey& key, std::string_view value_name) {
  app.platform.registry.RegDeleteValueA(key.handle(), value_name);
}

}  // namespace nimbra::tcpip
