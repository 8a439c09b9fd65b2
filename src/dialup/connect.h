// SPDX-License-Identifier: MIT
// Connecting and disconnecting: the input checks, the card queries over the AT channel, the
// dial parameters, the start of the dial; hanging up; closing the program; and the small
// notices of the connect page (edits enable Apply, Stop asks the redial countdown to stop).
#pragma once

#include <string_view>

#include "shell/app_context.h"

namespace nimbra::dialup {

// Link-mode prefixes of the number dialled.
inline constexpr std::string_view kSingleLinkPrefix = "##61";
inline constexpr std::string_view kMultiLinkPrefix = "##64";

// A click of CmdConnect, and the start-up option to connect.
void StartConnect(shell::AppContext& app);

// Sets the session's entry, number and trimmed credentials for the next dial.
void PrepareDial(shell::AppContext& app);

// A click of CmdDiscnct: hangs up.
void Disconnect(shell::AppContext& app);

// A click of CmdCancel: the window procedure back, the session released, the program ended.
// A connection that is up stays up.
[[noreturn]] void Close(shell::AppContext& app);

// A click of CmdStop.
void Stop(shell::AppContext& app);

// The user name, password or link mode changed: the settings can be saved.
void EditNotice(shell::AppContext& app);

}  // namespace nimbra::dialup
