// SPDX-License-Identifier: MIT
#include "accel/accelerator_page.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <utility>

#include "accel/cache_deletion.h"
#include "accel/client_programs.h"
#include "accel/proxy_blob.h"
#include "accel/proxy_value.h"
#include "shell/messages.h"
#include "shell/option_tree.h"
#include "shell/registry_access.h"
#include "shell/settings_file.h"

namespace nimbra::accel {

namespace {

constexpr int kNoAcceleration = 2;

// The level each option stands for: AccOption(0) Drift, (1) Breeze, (2) none, (3) Zephyr.
constexpr std::array<int16_t, 4> kLevelOfOption = {1, 2, 0, 3};

// Selecting runs the option's click handling as a user's click does, also when it is selected
// already.
void select_option(shell::MainForm& form, int index) {
  platform::OptionButton& option = form.AccOption[index];
  if (option.value) {
    option.click();
  } else {
    option.value = true;
  }
}

// The option whose stored value matches, tried in the order Drift, Breeze, Zephyr, none.
std::optional<int> option_of_value(const shell::AppContext& app, std::span<const uint8_t> value) {
  const std::pair<const shell::ProxyBlob&, int> candidates[] = {
      {app.ProxyBlobDrift, 0},
      {app.ProxyBlobBreeze, 1},
      {app.ProxyBlobZephyr, 3},
      {app.ProxyBlobNone, kNoAcceleration},
  };
  for (const auto& [blob, option] : candidates) {
    if (!BlobsDiffer(value, blob.value())) return option;
  }
  return std::nullopt;
}

}  // namespace

bool ReadAppliedAccelerator(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  const shell::RegKey key(app, platform::HKEY_CURRENT_USER, kConnectionsKey, platform::KEY_READ);
  if (!key.is_open()) {
    shell::show_message(app, 104);
    return false;
  }
  uint32_t type = platform::REG_NONE;
  const int32_t result = shell::query_value(app, key, kProxyValueName, type, app.AccelValueSize);
  std::optional<int> option;
  if (result == platform::ERROR_SUCCESS) {
    const size_t length = std::min<size_t>(app.AccelValueSize, app.RegBuffer.size());
    option = option_of_value(app, std::span<const uint8_t>(app.RegBuffer).first(length));
  } else if (result != platform::ERROR_MORE_DATA) {
    option = kNoAcceleration;  // no value: no accelerator
  }
  // A value too long for the buffer is none of the program's values either.
  if (option) {
    app.AccelLevel = kLevelOfOption[static_cast<size_t>(*option)];
    select_option(form, *option);
  } else {
    app.AccelLevel = -1;
    for (const auto& o : form.AccOption) o->value = false;
  }
  return true;
}

void AccOption_Click(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  form.CmdApply.enabled = false;
  app.AccelChanged = false;
  for (int i = 0; i < 4; ++i) {
    if (!form.AccOption[i].value) continue;
    if (kLevelOfOption[static_cast<size_t>(i)] != app.AccelLevel) {
      form.CmdApply.enabled = true;
      app.AccelChanged = true;
    }
    return;
  }
}

void CheckCash_Click(shell::AppContext& app) {
  app.main_form.CmdApply.enabled = app.main_form.CheckCash.value == 1;
}

void ApplyAccelerator(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  form.CmdApply.enabled = false;
  if (form.CheckCash.value == 1) DeleteBrowserCache(app);
  {
    const shell::RegKey key(app, platform::HKEY_CURRENT_USER, kConnectionsKey, platform::KEY_WRITE);
    if (!key.is_open()) {
      form.CmdApply.enabled = true;
      shell::show_message(app, 116);
      return;
    }
    platform::Registry& registry = app.platform.registry;
    // The options in the order Drift, Breeze, Zephyr, none; the first selected decides.
    for (const int option : {0, 1, 3, kNoAcceleration}) {
      if (!form.AccOption[option].value) continue;
      app.AccelLevel = kLevelOfOption[static_cast<size_t>(option)];
      app.SettingsRecord.AccelChoice = option;
      if (option == kNoAcceleration) {
        registry.RegDeleteValueA(key.handle(), kProxyValueName);
      } else {
        registry.RegSetValueExA(key.handle(), kProxyValueName, 0, platform::REG_BINARY,
                                blob_for_accel_choice(app, option)->value());
      }
      break;
    }
    shell::save_ini_up(app);
    registry.RegFlushKey(key.handle());
  }
  form.CmdApply.enabled = false;
  if (form.SettingTree.node(shell::kBrowserAfterProxy).checked && app.AccelChanged) {
    launch_or_report(app, app.BrowserPath, kBrowserNotFound);
  }
  app.AccelChanged = false;
}

void wire_accelerator_page(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  for (const auto& option : form.AccOption) option->on_click = [&app] { AccOption_Click(app); };
  form.CheckCash.on_click = [&app] { CheckCash_Click(app); };
}

}  // namespace nimbra::accel
