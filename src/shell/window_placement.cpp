// SPDX-License-Identifier: MIT
#include "shell/window_placement.h"

#include <cmath>

namespace nimbra::shell {

namespace {

// Twips around the content: below CmdApply, and right of it.
constexpr int kBottomMargin = 60;
constexpr int kRightMargin = 180;
// Pixels of client area a collapsed window keeps below its title bar.
constexpr int32_t kCollapsedStrip = 6;

platform::WindowRect rect_of(AppContext& app, platform::Hwnd window) {
  platform::WindowRect rect;
  app.platform.window.GetWindowRect(window, rect);
  return rect;
}

}  // namespace

void size_and_place_main_window(AppContext& app) {
  platform::Window& window = app.platform.window;
  MainForm& form = app.main_form;
  const platform::Hwnd hwnd = app.main_window;

  // The system enlarges a 0 x 0 window to its title bar and borders.
  window.SetWindowPos(hwnd, 0, 0, 0, 0);
  const int32_t frame_height = rect_of(app, hwnd).height();
  form.height = static_cast<int>(std::lround(frame_height * window.twips_per_pixel_y())) +
                form.CmdApply.top + form.CmdApply.height + kBottomMargin;
  form.width = form.CmdApply.left + form.CmdApply.width + kRightMargin;

  const platform::WindowRect desktop = rect_of(app, window.GetDesktopWindow());
  const platform::WindowRect placed = rect_of(app, hwnd);
  window.SetWindowPos(hwnd, desktop.right - placed.right, 0, placed.width(), placed.height());
  // The window's bottom is its height while its top is 0; a window manager may keep it below a
  // panel, and the collapse compares heights.
  app.FullHeight = rect_of(app, hwnd).height();
}

void toggle_collapse(AppContext& app) {
  platform::Window& window = app.platform.window;
  const platform::Hwnd hwnd = app.main_window;
  const platform::WindowRect rect = rect_of(app, hwnd);
  if (app.FullHeight <= rect.height()) {
    // Height 0 leaves the title bar; the strip below it keeps a place to double-click.
    window.SetWindowPos(hwnd, rect.left, rect.top, rect.width(), 0);
    const int32_t title_height = rect_of(app, hwnd).height();
    window.SetWindowPos(hwnd, rect.left, rect.top, rect.width(), title_height + kCollapsedStrip);
  } else {
    window.SetWindowPos(hwnd, rect.left, rect.top, rect.width(), app.FullHeight);
  }
}

}  // namespace nimbra::shell
