// SPDX-License-Identifier: MIT
// What the window shows of the entry's connection at start-up and on a page switch, and the
// modem order that follows the entry's device.
#pragma once

#include "shell/app_context.h"

namespace nimbra::dialup {

// Start-up: takes over a connection of KVAUTODL that is already up and sets the buttons, the
// status text and ConnState to match.
void show_connection_state(shell::AppContext& app);

// Page switch: the buttons and the status text follow whether the connection is up.
void show_connection_on_switch(shell::AppContext& app);

// Moves the modem the entry uses to the front of ModemList and fills ModemCombo.
void put_session_modem_first(shell::AppContext& app);

}  // namespace nimbra::dialup
