// SPDX-License-Identifier: MIT
// The entry's wiring: the subsystems that build on the shell hand it their start-up steps before
// Main runs.
#pragma once

#include "shell/app_context.h"

namespace nimbra::app {

void install_subsystems(shell::AppContext& app);

}  // namespace nimbra::app
