// SPDX-License-Identifier: MIT
#include "accel/http11_options.h"

#include <array>
#include <string>
#include <string_view>

#include "shell/ansi_text.h"
#include "shell/registry_access.h"

namespace nimbra::accel {

namespace {

constexpr std::array<std::string_view, 2> kOptionKeys = {
    "SOFTWARE\\Microsoft\\Internet Explorer\\AdvancedOptions\\HTTP\\PROXY",
    "SOFTWARE\\Microsoft\\Internet Explorer\\AdvancedOptions\\HTTP\\GENABLE",
};
constexpr std::string_view kUserSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr int kNotRead = 999;

bool fail_with_title(shell::AppContext& app, int title) {
  app.platform.window.message_box(app.catalogue.text(112), app.catalogue.text(title),
                                  platform::MsgBoxButtons::Ok);
  return true;
}

// Switches on one option; true when it failed.
bool enable_option(shell::AppContext& app, std::string_view description_key) {
  std::string name;
  int setting = kNotRead;
  {
    const shell::RegKey key(app, platform::HKEY_LOCAL_MACHINE, description_key, platform::KEY_READ);
    if (!key.is_open()) return fail_with_title(app, 1068);
    uint32_t type = platform::REG_NONE;
    uint32_t size = 1;
    if (shell::query_value(app, key, "ValueName", type, size) == platform::ERROR_SUCCESS) {
      name = shell::reg_buffer_text(app, size);
    }
    size = 1;
    if (shell::query_value(app, key, "CheckedValue", type, size) == platform::ERROR_SUCCESS) {
      setting = app.RegBuffer[0];  // the low byte of the number
    }
  }
  if (name.empty() || setting == kNotRead) return fail_with_title(app, 1069);

  const shell::RegKey key(app, platform::HKEY_CURRENT_USER, kUserSettingsKey, platform::KEY_WRITE);
  if (!key.is_open()) return fail_with_title(app, 1070);
  platform::Registry& registry = app.platform.registry;
  const std::string ansi_name = shell::to_ansi(app, name);
  const std::array<uint8_t, 4> number = {static_cast<uint8_t>(setting), 0, 0, 0};
  registry.RegDeleteValueA(key.handle(), ansi_name);
  registry.RegSetValueExA(key.handle(), ansi_name, 0, platform::REG_DWORD, number);
  registry.RegFlushKey(key.handle());
  return false;
}

}  // namespace

bool EnableHttp11ThroughProxy(shell::AppContext& app) {
  for (const std::string_view description_key : kOptionKeys) {
    if (enable_option(app, description_key)) return true;
  }
  return false;
}

}  // namespace nimbra::accel
