// SPDX-License-Identifier: MIT
// What assistive tools announce for the main window's controls that show no caption (the
// pages, the lamps, the untitled frames and the read-only texts), in the user-interface
// language. Their control names are for the program only.
#pragma once

#include "platform/controls/controls.h"
#include "shell/app_context.h"

namespace nimbra::shell {

// Names the controls; at each load, once the captions are set.
void name_uncaptioned_controls(AppContext& app);

// Paints the status lamp in `color`; its reading is the connection state the colour stands for.
void show_status_lamp(AppContext& app, platform::Color color);

}  // namespace nimbra::shell
