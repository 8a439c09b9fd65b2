// SPDX-License-Identifier: MIT
// Wires the TCP/IP subsystem into the program: its start-up steps, Apply on the Optimize page
// and the page's events.
#pragma once

#include "shell/app_context.h"

namespace nimbra::tcpip {

void install_tcpip(shell::AppContext& app);

}  // namespace nimbra::tcpip
