// SPDX-License-Identifier: MIT
// The program's entry and the main window's load and unload, in their fixed order.
#pragma once

#include "shell/app_context.h"

namespace nimbra::shell {

// The program entry: reads the Windows directory, then loads the main window.
void Main(AppContext& app);

// Builds the main window, runs the start-up steps and shows it.
void main_form_load(AppContext& app);

// Runs when the main window closes; a connection that is up stays up.
void main_form_unload(AppContext& app);

}  // namespace nimbra::shell
