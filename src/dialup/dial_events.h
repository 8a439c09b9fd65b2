// SPDX-License-Identifier: MIT
// The dial events RAS posts to the main window while a call is set up: the program's window
// procedure sits in front of the window's previous one, shows each state, and reacts when the
// call connects, disconnects or fails. Every message goes on to the previous procedure.
#pragma once

#include <cstdint>

#include "platform/window.h"
#include "shell/app_context.h"

namespace nimbra::dialup {

// Handles a dial event and passes every message on; returns the previous procedure's result.
intptr_t WindowProc(shell::AppContext& app, platform::Hwnd hwnd, uint32_t uMsg, uintptr_t wParam,
                    intptr_t lParam);

// The procedure installed on the main window: WindowProc for its context.
class DialEventProcedure : public platform::WindowProcedure {
 public:
  explicit DialEventProcedure(shell::AppContext& app) : app_(app) {}
  intptr_t handle(platform::Hwnd window, uint32_t message, uintptr_t wparam,
                  intptr_t lparam) override {
    return WindowProc(app_, window, message, wparam, lparam);
  }

 private:
  shell::AppContext& app_;
};

// Load step 22: puts `procedure` in front of the main window's, keeping that in PrevWndProc.
void install_window_procedure(shell::AppContext& app, platform::WindowProcedure& procedure);

// Close and unload: the main window gets its previous procedure back.
void restore_window_procedure(shell::AppContext& app);

}  // namespace nimbra::dialup
