// SPDX-License-Identifier: MIT
// The window system on Qt 6 Widgets: each attached form is a top-level window bound to its
// controls; posted messages are Qt events delivered to the window's procedure.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/kernel.h"
#include "platform/qt/widgets/form_view.h"
#include "platform/qt/widgets/twip_scale.h"
#include "platform/window.h"

namespace nimbra::qt {

class QtWindow : public platform::Window {
 public:
  // Needs the QApplication; sets the application's look, its font for `ui_language`.
  explicit QtWindow(platform::Language ui_language = platform::Language::English);
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;
  // Detaches every form still attached.
  ~QtWindow() override;

  platform::Hwnd attach(platform::Form& form) override;
  void detach(platform::Form& form) override;
  uint32_t RegisterWindowMessageA(std::string_view name) override;
  bool PostMessageA(platform::Hwnd window, uint32_t message, uintptr_t wparam,
                    intptr_t lparam) override;
  platform::WindowProcedure* SetWindowProcedure(platform::Hwnd window,
                                                platform::WindowProcedure* procedure) override;
  bool SetWindowPos(platform::Hwnd window, int32_t x, int32_t y, int32_t cx, int32_t cy) override;
  // The desktop's rectangle is the primary screen's available area (without panels and docks).
  bool GetWindowRect(platform::Hwnd window, platform::WindowRect& rect) override;
  platform::Hwnd GetDesktopWindow() override { return kDesktop; }
  void do_events() override;
  bool UpdateWindow(platform::Hwnd window) override;
  platform::MsgBoxResult message_box(std::string_view text, std::string_view title,
                                     platform::MsgBoxButtons buttons) override;
  // The desktop never restarts the computer. EWX_REBOOT shows the restart notice, then closes
  // every window and ends the program as the system's restart would; anything else is refused.
  bool ExitWindowsEx(uint32_t flags, uint32_t reserved) override;

  // Run once, just before the first form's controls get their widgets: a form's widgets are
  // made when it is first shown, so that what the logic sets up before goes to them once.
  void set_before_widgets(std::function<void()> hook) { before_widgets_ = std::move(hook); }

  // What the user is told in place of a restart, in the user's language.
  void set_restart_notice(std::string text) { restart_notice_ = std::move(text); }

  double twips_per_pixel_x() const override { return scale_.twips_per_pixel_x; }
  double twips_per_pixel_y() const override { return scale_.twips_per_pixel_y; }

  // Brings the visible window with this title to the front; false when there is none.
  bool activate_window_titled(std::string_view title);

 protected:
  // Ends the process with status 0 once standard output and error are flushed.
  void end_program_now() override;

 private:
  static constexpr platform::Hwnd kDesktop = 0x10000;

  FormView* view(platform::Hwnd window) const;

  TwipScale scale_;
  platform::Hwnd next_handle_ = 0x10010;
  std::map<platform::Hwnd, FormView*> views_;
  std::map<std::string, uint32_t> message_numbers_;
  std::string restart_notice_;
  std::function<void()> before_widgets_;
};

}  // namespace nimbra::qt
