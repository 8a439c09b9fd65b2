// SPDX-License-Identifier: MIT
// Wires the dial-up subsystem into the program: its start-up steps and the window's dial-up
// events (the plan options and CmdRenew), wired once for the life of the context so that a
// reload of the window never replaces the handler that is running it.
#pragma once

#include "shell/app_context.h"

namespace nimbra::dialup {

void install_dialup(shell::AppContext& app);

}  // namespace nimbra::dialup
