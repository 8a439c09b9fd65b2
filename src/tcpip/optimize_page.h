// SPDX-License-Identifier: MIT
// The Optimize page: three choices of MTU and receive window (recommended, Windows default,
// user defined), preselected at start-up from the values in force on Windows 9x; inert on other
// Windows, which tune these values themselves.
#pragma once

#include "shell/app_context.h"

namespace nimbra::tcpip {

// Start-up: the page's frame, note and the two fixed choices serve on Windows 9x only.
void show_tcp_controls(shell::AppContext& app);

// Start-up on Windows 9x: the values in force, the choice that matches them, and AppliedMtu and
// AppliedRwin. Ends the program (messages 112 and 113) when the keys cannot be read.
void read_tcp_settings(shell::AppContext& app);

void TcpipOption_Click(shell::AppContext& app);
void MtuTxt_Change(shell::AppContext& app);
void RwinTxt_Change(shell::AppContext& app);

}  // namespace nimbra::tcpip
