// SPDX-License-Identifier: MIT
// The program's own phone-book entry KVAUTODL: written at every start for the detected modem,
// and again when the user changes the modem.
#pragma once

#include <string>
#include <string_view>

#include "shell/app_context.h"

namespace nimbra::dialup {

// Whether provisioning first puts the settings file back into the window. A modem change does,
// so that text typed and not applied is not stored. Start-up does not: the window was filled
// from the file moments before, and reading it again would undo the start-up's own defaults
// (the default login for empty fields, the option checks of a first start).
enum class SettingsReload { FromFile, KeepWindow };

// Writes the entry for `device_name` with the selected access point (ending the program with
// message 121 when RAS refuses it), reloads the settings file into the window when asked and
// stores the window's user name and password with the entry. The result of storing them, as
// decimal text.
std::string ProvisionEntry(shell::AppContext& app, std::string_view device_name,
                           SettingsReload reload);

// The modem change: provisions the entry for the modem picked in ModemCombo, then unloads the
// main window and loads it again.
void CmdRenew_Click(shell::AppContext& app);

}  // namespace nimbra::dialup
