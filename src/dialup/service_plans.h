// SPDX-License-Identifier: MIT
// The three service plans: picking one sets the access points, the link modes and the
// accelerator controls, writes the connection's proxy value and saves the settings.
#pragma once

#include <string>

#include "shell/app_context.h"

namespace nimbra::dialup {

// A click of any ServiceOption.
void ServiceOption_Click(shell::AppContext& app);

// Start-up: plan 1 is picked whatever the settings file says.
void select_first_plan(shell::AppContext& app);

// The AccessPoints entry that AccPtCmb selects; "" while it selects none.
std::string selected_access_point(const shell::AppContext& app);

}  // namespace nimbra::dialup
