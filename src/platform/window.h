// SPDX-License-Identifier: MIT
// The window system: attaching a form's view, posted messages and the window procedure, window
// placement, letting pending events run, message boxes and the end of the program.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace nimbra::platform {

class Form;

using Hwnd = uintptr_t;

// A window procedure; the program installs its own in front of the window's previous one.
class WindowProcedure {
 public:
  virtual ~WindowProcedure() = default;
  virtual intptr_t handle(Hwnd window, uint32_t message, uintptr_t wparam, intptr_t lparam) = 0;
};

// A window's outer rectangle in screen pixels, frame and title bar included (RECT).
struct WindowRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

enum class MsgBoxButtons { Ok, OkCancel, YesNo };
// Failed: the box could not be shown (MessageBox returned 0).
enum class MsgBoxResult { Failed = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// ExitWindowsEx: restart the computer.
inline constexpr uint32_t EWX_REBOOT = 2;

class Window {
 public:
  virtual ~Window() = default;

  // Gives the form its on-screen view: the view mirrors the form's controls, turns user input
  // into their events and runs their timers. Returns the form's window handle.
  virtual Hwnd attach(Form& form) = 0;

  // Removes the form's view; its timers stop and its window goes away.
  virtual void detach(Form& form) = 0;

  // A message number unique to the name for the life of the session (from 0xC000 upwards).
  virtual uint32_t RegisterWindowMessageA(std::string_view name) = 0;

  // Queues the message for the window's procedure on the user-interface thread.
  virtual bool PostMessageA(Hwnd window, uint32_t message, uintptr_t wparam, intptr_t lparam) = 0;

  // Installs `procedure` as the window's procedure and returns the previous one.
  virtual WindowProcedure* SetWindowProcedure(Hwnd window, WindowProcedure* procedure) = 0;

  // Moves and sizes the window's outer rectangle, in pixels. A size below the window's smallest
  // one (its title bar and borders) is enlarged to it. The window is shown, not activated, and
  // not topmost, as SetWindowPos with HWND_NOTOPMOST, SWP_SHOWWINDOW and SWP_NOACTIVATE.
  // The form's left, top, width and height (twips) follow. False for an unknown window.
  virtual bool SetWindowPos(Hwnd window, int32_t x, int32_t y, int32_t cx, int32_t cy) = 0;

  // The outer rectangle of a form's window, or of the desktop (GetDesktopWindow), whose
  // rectangle is the screen area windows may use. False for an unknown window.
  virtual bool GetWindowRect(Hwnd window, WindowRect& rect) = 0;
  virtual Hwnd GetDesktopWindow() = 0;

  // Twips per screen pixel, as the toolkit's Screen.TwipsPerPixelX and Y.
  virtual double twips_per_pixel_x() const = 0;
  virtual double twips_per_pixel_y() const = 0;

  // Runs the events that are pending now (posted messages, due timers, user input).
  virtual void do_events() = 0;

  // Paints the window now, before the call returns, with every control as it is at this moment:
  // what the logic shows before a blocking wait stays on the screen during it. Runs no other
  // event. False for an unknown window.
  virtual bool UpdateWindow(Hwnd window) = 0;

  virtual MsgBoxResult message_box(std::string_view text, std::string_view title,
                                   MsgBoxButtons buttons) = 0;

  // Asks the system to end its session as `flags` say (EWX_REBOOT). When the system grants it,
  // it closes the program's windows (their unload runs) and ends the program, so the call
  // returns only when it is refused, with false.
  virtual bool ExitWindowsEx(uint32_t flags, uint32_t reserved) = 0;

  // Ends the program at once. Nothing after this call runs.
  [[noreturn]] void end_program() {
    end_program_now();
    std::abort();  // an implementation must not return
  }

 protected:
  // Ends the process (the desktop) or unwinds to the harness (the simulated machine).
  virtual void end_program_now() = 0;
};

}  // namespace nimbra::platform
