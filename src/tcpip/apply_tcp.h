// SPDX-License-Identifier: MIT
// Apply on the Optimize page: writes the chosen MTU and receive window into every dial-up
// adapter and the TCP/IP stack, then restarts the computer, as the stack reads them at boot.
#pragma once

#include "shell/app_context.h"

namespace nimbra::tcpip {

void ApplyTcpSettings(shell::AppContext& app);

}  // namespace nimbra::tcpip
