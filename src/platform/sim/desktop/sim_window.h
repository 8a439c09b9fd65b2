// SPDX-License-Identifier: MIT
// The window family of a simulated program instance: no pixels, but the same events in the same
// order as the real toolkit, in virtual time. Its control face lets a test read the message
// boxes shown and script the answers.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/controls.h"
#include "platform/sim/clock/scheduler.h"
#include "platform/window.h"

namespace nimbra::sim {

// The simulated screen: a 1024 x 768 pixel desktop at 96 dots per inch (15 twips per pixel).
// A window's title bar (23 pixels) and borders (4 pixels top and bottom) make its smallest height
// of 31 pixels; with the title bar's buttons no window is narrower than 112 pixels.
namespace screen {
inline constexpr int32_t kDesktopWidth = 1024;
inline constexpr int32_t kDesktopHeight = 768;
inline constexpr int32_t kTwipsPerPixel = 15;
inline constexpr int32_t kMinWindowHeight = 31;
inline constexpr int32_t kMinWindowWidth = 112;
}  // namespace screen

// Thrown by end_program: it unwinds to the test harness, which sees that the program ended.
struct ProgramEnded {};

struct MessageBoxRecord {
  std::string text;
  std::string title;
  platform::MsgBoxButtons buttons;
  platform::MsgBoxResult answer;
};

class SimWindow : public platform::Window {
 public:
  // `restart_machine` restarts the machine this window runs on; false when it cannot.
  using RestartMachine = std::function<bool()>;

  SimWindow(Scheduler& scheduler, RestartMachine restart_machine = {});
  ~SimWindow() override;

  platform::Hwnd attach(platform::Form& form) override;
  void detach(platform::Form& form) override;
  uint32_t RegisterWindowMessageA(std::string_view name) override;
  bool PostMessageA(platform::Hwnd window, uint32_t message, uintptr_t wparam,
                    intptr_t lparam) override;
  platform::WindowProcedure* SetWindowProcedure(platform::Hwnd window,
                                                platform::WindowProcedure* procedure) override;
  bool SetWindowPos(platform::Hwnd window, int32_t x, int32_t y, int32_t cx, int32_t cy) override;
  bool GetWindowRect(platform::Hwnd window, platform::WindowRect& rect) override;
  platform::Hwnd GetDesktopWindow() override { return kDesktop; }
  double twips_per_pixel_x() const override { return screen::kTwipsPerPixel; }
  double twips_per_pixel_y() const override { return screen::kTwipsPerPixel; }
  void do_events() override;
  bool UpdateWindow(platform::Hwnd window) override;
  platform::MsgBoxResult message_box(std::string_view text, std::string_view title,
                                     platform::MsgBoxButtons buttons) override;
  // EWX_REBOOT restarts the machine, then closes every window and ends the program as Windows
  // does; anything else (and a machine that cannot restart) is refused.
  bool ExitWindowsEx(uint32_t flags, uint32_t reserved) override;

  // Control face.
  const std::vector<MessageBoxRecord>& message_boxes() const { return boxes_; }
  // The next message boxes answer with these, in order; after them, the first button answers.
  void answer_next_boxes_with(platform::MsgBoxResult answer) { answers_.push_back(answer); }
  bool ended() const { return ended_; }
  // How often the window was painted at once, and the hook that sees each such painting
  // (a test reads the controls there as a person would see them).
  int update_count(platform::Hwnd window) const;
  void on_update(std::function<void(platform::Hwnd)> hook) { update_hook_ = std::move(hook); }

 protected:
  void end_program_now() override;

 private:
  class FormView;
  class DefaultProcedure : public platform::WindowProcedure {
   public:
    intptr_t handle(platform::Hwnd, uint32_t, uintptr_t, intptr_t) override { return 0; }
  };

  static constexpr platform::Hwnd kDesktop = 0x10000;

  Scheduler& scheduler_;
  RestartMachine restart_machine_;
  DefaultProcedure default_procedure_;
  std::map<platform::Hwnd, std::unique_ptr<FormView>> views_;
  std::map<std::string, uint32_t> registered_messages_;
  std::vector<MessageBoxRecord> boxes_;
  std::deque<platform::MsgBoxResult> answers_;
  platform::Hwnd next_hwnd_ = 0x10010;
  bool ended_ = false;
  std::map<platform::Hwnd, int> updates_;
  std::function<void(platform::Hwnd)> update_hook_;
};

}  // namespace nimbra::sim
