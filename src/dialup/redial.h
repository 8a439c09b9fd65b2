// SPDX-License-Identifier: MIT
// Dialling again after a failed call: a countdown the user can stop, at most m_AutoDial times
// in one run, and the two boxes that set the number of trials and the seconds between them.
#pragma once

#include <cstdint>
#include <string>

#include "shell/app_context.h"

namespace nimbra::dialup {

// "Redialing ( 1/ 10) will started after  5seconds" in English.
std::string countdown_text(const shell::Catalogue& catalogue, int64_t trial, int64_t trials,
                           int64_t seconds_left);

// Called after a failed call has been hung up: counts down and dials again while redial is
// armed and trials are left. Lets pending events run once a second, so CmdStop and further
// dial events are handled inside the countdown.
void RedialStep(shell::AppContext& app);

// The text of AutoDialTxt(index) changed: a negative number becomes "0", and the session
// follows the box's number, rounded half to even and held to 32 bits.
void AutoDialTxtChanged(shell::AppContext& app, int index);

}  // namespace nimbra::dialup
