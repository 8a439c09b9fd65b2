// The program's own phone-book entry KVAUTODL: written at every start for the detected modem,
// and again when the user changes the modem.
#pragma once

#include <string>
#include <string_view>

#include "shell/app_context.h"

namespace nimbra::dialup {

// Writes the entry for `device_name` with the selected access point (ending the program with
// message 121 when RAS refuses it), reloads the settings file into the window and stores its
// user name and password with the entry. The result of storing them, as decimal text.
std::string ProvisionEntry(shell::AppContext& app, std::string_view device_name);

// The modem change: provisions the entry for the modem picked in ModemCombo, then unloads the
// main window and loads it again.
void CmdRenew_Click(shell::AppContext& app);

}  // namespace nimbra::dialup
