// SPDX-License-Identifier: MIT
#include "platform/qt/widgets/control_widgets.h"

#include <QTimer>

namespace nimbra::qt {
namespace {

// A timer runs while enabled with an interval; a new interval, or enabling it again, starts
// the count afresh, as the toolkit's timer does.
class TimerBinding : public ControlBinding {
 public:
  TimerBinding(platform::Timer& timer, const Context& context)
      : ControlBinding(timer, nullptr, context), timer_(timer) {
    QObject::connect(&clock_, &QTimer::timeout, &clock_, [this] {
      if (input_open()) timer_.tick();
    });
  }

 protected:
  void apply_kind() override {
    const int interval = timer_.interval;
    if (!timer_.enabled || interval <= 0) {
      clock_.stop();
    } else if (!clock_.isActive() || clock_.interval() != interval) {
      clock_.start(interval);
    }
  }

 private:
  platform::Timer& timer_;
  QTimer clock_;
};

}  // namespace

std::unique_ptr<ControlBinding> bind_control(platform::Control& control, QWidget* parent,
                                             const ControlBinding::Context& context) {
  switch (control.kind()) {
    case platform::ControlKind::TextBox:
      return bind_text_box(static_cast<platform::TextBox&>(control), parent, context);
    case platform::ControlKind::Timer:
      return std::make_unique<TimerBinding>(static_cast<platform::Timer&>(control), context);
    case platform::ControlKind::TabStrip:
    case platform::ControlKind::TreeView:
    case platform::ControlKind::ComboBox:
    case platform::ControlKind::ListBox:
      return bind_list_control(control, parent, context);
    default:
      return bind_static_control(control, parent, context);
  }
}

}  // namespace nimbra::qt
