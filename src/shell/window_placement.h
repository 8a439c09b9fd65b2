// SPDX-License-Identifier: MIT
// The main window's size and place on the desktop, and the double-click collapse to its title
// bar.
#pragma once

#include "shell/app_context.h"

namespace nimbra::shell {

// Sizes the window so that CmdApply marks the lower right corner of its content, puts it at the
// top right corner of the desktop and records FullHeight.
void size_and_place_main_window(AppContext& app);

// A double click on the window's free area: a window at full height collapses to its title bar
// and a thin strip; a collapsed (or shorter) one gets its full height back.
void toggle_collapse(AppContext& app);

}  // namespace nimbra::shell
