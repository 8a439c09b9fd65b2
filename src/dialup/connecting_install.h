// SPDX-License-Identifier: MIT
// Wires connecting into the program: the connect page's buttons and edits, the redial boxes,
// the status timer, and the start-up steps that install the dial-event procedure, start the
// timer, connect on start and let the session go at unload.
#pragma once

#include "shell/app_context.h"

namespace nimbra::dialup {

void install_connecting(shell::AppContext& app);

}  // namespace nimbra::dialup
