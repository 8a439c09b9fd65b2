// SPDX-License-Identifier: MIT
#include "platform/sim/desktop/sim_window.h"

#include <algorithm>
#include <cmath>

namespace nimbra::sim {

using platform::Control;
using platform::ControlKind;
using platform::WindowRect;

namespace {

int32_t to_pixels(int twips) {
  return static_cast<int32_t>(std::lround(twips / double{screen::kTwipsPerPixel}));
}

// The system's smallest window: the title bar and borders.
WindowRect enlarged_to_smallest(WindowRect rect) {
  rect.right = rect.left + std::max(rect.width(), screen::kMinWindowWidth);
  rect.bottom = rect.top + std::max(rect.height(), screen::kMinWindowHeight);
  return rect;
}

}  // namespace

// Mirrors no pixels, only the window's outer rectangle; it keeps each enabled Timer control
// ticking in virtual time and holds the window's procedure.
class SimWindow::FormView : public platform::ControlObserver {
 public:
  FormView(Scheduler& scheduler, platform::Form& form, platform::WindowProcedure* procedure)
      : scheduler_(scheduler), form_(form), procedure_(procedure) {
    form_.set_observer(this);
    for (Control* c : form_.controls()) {
      if (c->kind() == ControlKind::Timer) reschedule(static_cast<platform::Timer&>(*c));
    }
    follow_form();
  }
  ~FormView() override {
    for (const auto& [timer, task] : timers_) scheduler_.cancel(task);
    form_.set_observer(nullptr);
  }

  void control_changed(Control& control) override {
    if (control.kind() == ControlKind::Timer) reschedule(static_cast<platform::Timer&>(control));
    if (&control == &form_ && !writing_back_) follow_form();
  }

  platform::Form& form() { return form_; }
  const WindowRect& rect() const { return rect_; }

  void set_window_pos(const WindowRect& rect) {
    place(rect);
    form_.visible = true;
  }

  platform::WindowProcedure* swap_procedure(platform::WindowProcedure* next) {
    return std::exchange(procedure_, next);
  }
  platform::WindowProcedure* current_procedure() const { return procedure_; }

 private:
  void reschedule(platform::Timer& timer) {
    if (const auto it = timers_.find(&timer); it != timers_.end()) {
      scheduler_.cancel(it->second);
      timers_.erase(it);
    }
    if (!timer.enabled || timer.interval <= 0) return;
    const auto interval = static_cast<uint64_t>(timer.interval.get());
    timers_[&timer] = scheduler_.after(interval, Scheduler::Lane::Window, [this, &timer] {
      timers_.erase(&timer);
      reschedule(timer);  // the next tick is due one interval later, whatever this one does
      timer.tick();
    });
  }

  // The logic moved or sized the form through its properties (twips).
  void follow_form() {
    place({to_pixels(form_.left), to_pixels(form_.top), to_pixels(form_.left + form_.width),
           to_pixels(form_.top + form_.height)});
  }

  // The window takes the rectangle, enlarged as the system does; the form's properties follow.
  void place(const WindowRect& wanted) {
    rect_ = enlarged_to_smallest(wanted);
    writing_back_ = true;
    form_.left = rect_.left * screen::kTwipsPerPixel;
    form_.top = rect_.top * screen::kTwipsPerPixel;
    form_.width = rect_.width() * screen::kTwipsPerPixel;
    form_.height = rect_.height() * screen::kTwipsPerPixel;
    writing_back_ = false;
  }

  Scheduler& scheduler_;
  platform::Form& form_;
  platform::WindowProcedure* procedure_;
  std::map<platform::Timer*, Scheduler::TaskId> timers_;
  WindowRect rect_;
  bool writing_back_ = false;
};

SimWindow::SimWindow(Scheduler& scheduler, RestartMachine restart_machine)
    : scheduler_(scheduler), restart_machine_(std::move(restart_machine)) {}

SimWindow::~SimWindow() = default;

platform::Hwnd SimWindow::attach(platform::Form& form) {
  const platform::Hwnd hwnd = next_hwnd_;
  next_hwnd_ += 0x10;
  views_[hwnd] = std::make_unique<FormView>(scheduler_, form, &default_procedure_);
  return hwnd;
}

void SimWindow::detach(platform::Form& form) {
  std::erase_if(views_, [&](const auto& kv) { return &kv.second->form() == &form; });
}

uint32_t SimWindow::RegisterWindowMessageA(std::string_view name) {
  const auto [it, inserted] = registered_messages_.try_emplace(
      std::string(name), static_cast<uint32_t>(0xC000 + registered_messages_.size()));
  return it->second;
}

bool SimWindow::PostMessageA(platform::Hwnd window, uint32_t message, uintptr_t wparam,
                             intptr_t lparam) {
  if (!views_.count(window)) return false;
  scheduler_.after(0, Scheduler::Lane::Window, [this, window, message, wparam, lparam] {
    // The window may have gone away while the message waited.
    if (const auto it = views_.find(window); it != views_.end()) {
      it->second->current_procedure()->handle(window, message, wparam, lparam);
    }
  });
  return true;
}

platform::WindowProcedure* SimWindow::SetWindowProcedure(platform::Hwnd window,
                                                         platform::WindowProcedure* procedure) {
  const auto it = views_.find(window);
  if (it == views_.end()) return nullptr;
  return it->second->swap_procedure(procedure ? procedure : &default_procedure_);
}

bool SimWindow::SetWindowPos(platform::Hwnd window, int32_t x, int32_t y, int32_t cx, int32_t cy) {
  const auto it = views_.find(window);
  if (it == views_.end()) return false;
  it->second->set_window_pos({x, y, x + cx, y + cy});
  return true;
}

bool SimWindow::GetWindowRect(platform::Hwnd window, WindowRect& rect) {
  if (window == kDesktop) {
    rect = {0, 0, screen::kDesktopWidth, screen::kDesktopHeight};
    return true;
  }
  const auto it = views_.find(window);
  if (it == views_.end()) return false;
  rect = it->second->rect();
  return true;
}

void SimWindow::do_events() {
  scheduler_.run_due_window_work();
}

bool SimWindow::UpdateWindow(platform::Hwnd window) {
  if (!views_.contains(window)) return false;
  ++updates_[window];
  if (update_hook_) update_hook_(window);
  return true;
}

int SimWindow::update_count(platform::Hwnd window) const {
  const auto it = updates_.find(window);
  return it == updates_.end() ? 0 : it->second;
}

platform::MsgBoxResult SimWindow::message_box(std::string_view text, std::string_view title,
                                              platform::MsgBoxButtons buttons) {
  using platform::MsgBoxButtons;
  using platform::MsgBoxResult;
  MsgBoxResult answer = buttons == MsgBoxButtons::YesNo ? MsgBoxResult::Yes : MsgBoxResult::Ok;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back(MessageBoxRecord{std::string(text), std::string(title), buttons, answer});
  return answer;
}

bool SimWindow::ExitWindowsEx(uint32_t flags, uint32_t /*reserved*/) {
  if (flags != platform::EWX_REBOOT || !restart_machine_ || !restart_machine_()) return false;
  // The session's end closes each window, which runs its unload.
  std::vector<platform::Form*> forms;
  for (const auto& [hwnd, view] : views_) forms.push_back(&view->form());
  for (platform::Form* form : forms) {
    if (form->on_unload) form->on_unload();
  }
  end_program();
}

void SimWindow::end_program_now() {
  ended_ = true;
  throw ProgramEnded{};
}

}  // namespace nimbra::sim
