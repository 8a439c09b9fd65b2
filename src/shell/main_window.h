// SPDX-License-Identifier: MIT
// Behaviour of the main window itself: captions, pages and the buttons below them.
#pragma once

#include "shell/app_context.h"

namespace nimbra::shell {

// Connects the window's events to their handlers.
void wire_main_window(AppContext& app);

// The window title and every caption from the catalogue, in the user's language.
void set_captions(AppContext& app);

// Lays every page frame over the tab strip's client area and brings the first to the front.
void place_frames(AppContext& app);

// A click on a tab: shows the connection state, then the selected page.
void switch_page(AppContext& app);

// Brings the selected tab's page to the front with Apply disabled; on the card page the
// measurement button gives way to a notice while a connection is up.
void show_selected_page(AppContext& app, bool connection_up);

}  // namespace nimbra::shell
