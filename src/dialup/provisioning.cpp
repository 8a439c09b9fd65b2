// SPDX-License-Identifier: MIT
#include "dialup/provisioning.h"

#include <vector>

#include "dialup/session/ras_records.h"
#include "dialup/service_plans.h"
#include "dialup/session/vbras32.h"
#include "shell/ansi_text.h"
#include "shell/messages.h"
#include "shell/settings_file.h"
#include "shell/startup.h"

namespace nimbra::dialup {

std::string ProvisionEntry(shell::AppContext& app, std::string_view device_name,
                           SettingsReload reload) {
  platform::Ras& ras = app.platform.ras;
  const std::vector<uint8_t> entry = build_entry_record(
      static_cast<uint32_t>(app.RasEntrySize), shell::to_ansi(app, selected_access_point(app)),
      shell::to_ansi(app, device_name));
  if (ras.RasSetEntryPropertiesA(std::nullopt, kEntryName, entry) != 0) {
    shell::fail_with_message(app, 121);
  }
  // What was typed and not applied gives way to the saved settings.
  if (reload == SettingsReload::FromFile) shell::load_ini_up(app);
  platform::DialParams params;
  params.entry_name = std::string(kEntryName);
  params.user_name = shell::to_ansi(app, app.main_form.UserTxt.text.get());
  params.password = shell::to_ansi(app, app.main_form.PassTxt.text.get());
  const std::vector<uint8_t> record =
      build_dial_params(app.IsWin9x ? platform::kDialParams9x : platform::kDialParamsNT, params);
  return std::to_string(ras.RasSetEntryDialParamsA(std::nullopt, record, false));
}

void CmdRenew_Click(shell::AppContext& app) {
  const int index = app.main_form.ModemCombo.list_index;
  if (index < 0 || index >= static_cast<int>(shell::kModemSlots)) return;
  ProvisionEntry(app, app.ModemList[static_cast<size_t>(index)].device_name,
                 SettingsReload::FromFile);
  shell::main_form_unload(app);
  shell::main_form_load(app);
}

}  // namespace nimbra::dialup
