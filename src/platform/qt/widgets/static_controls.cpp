// SPDX-License-Identifier: MIT
// Buttons, labels, check boxes, option buttons, frames, picture boxes and progress bars.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "platform/qt/widgets/clickable_label.h"
#include "platform/qt/widgets/control_widgets.h"

namespace nimbra::qt {
namespace {

using platform::Control;
using platform::ControlKind;

class ButtonBinding : public ControlBinding {
 public:
  ButtonBinding(Control& button, QWidget* parent, const Context& context)
      : ControlBinding(button, new QPushButton(parent), context) {
    auto* push = static_cast<QPushButton*>(widget());
    QObject::connect(push, &QPushButton::clicked, push, [this] {
      if (input_open()) control().click();
    });
  }

 protected:
  void apply_kind() override {
    static_cast<QPushButton*>(widget())->setText(to_qstring(control().caption));
  }
  void apply_colors(QPalette& palette, const QColor& back, const QColor& fore) const override {
    set_back_role(palette, QPalette::Button, back);
    set_text_role(palette, QPalette::ButtonText, fore);
  }
};

class LabelBinding : public ControlBinding {
 public:
  LabelBinding(Control& label, QWidget* parent, const Context& context)
      : ControlBinding(label,
                       new ClickableLabel(
                           parent, [this] { clicked(); },
                           [this] { return static_cast<bool>(control().on_click); }),
                       context) {
    auto* text = static_cast<QLabel*>(widget());
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

 protected:
  void apply_kind() override {
    static_cast<QLabel*>(widget())->setText(to_qstring(control().caption));
    // An opaque label in its container's colour looks see-through; painting it would show
    // the style's shading of frames as patches.
    widget()->setAutoFillBackground(control().back_color != control().container()->back_color);
  }

 private:
  void clicked() {
    if (input_open()) control().click();
  }
};

// A check box the user toggles between checked and unchecked; only the logic sets it greyed
// (a click on a greyed box checks it).
class TwoStateClickCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
  }
};

class CheckBoxBinding : public ControlBinding {
 public:
  CheckBoxBinding(platform::CheckBox& box, QWidget* parent, const Context& context)
      : ControlBinding(box, new TwoStateClickCheckBox(parent), context), box_(box) {
    // A new state, however it came (a click, the space bar, an assistive tool's Toggle),
    // raises Click once through the value.
    auto* check = static_cast<QCheckBox*>(widget());
    QObject::connect(check, &QCheckBox::stateChanged, check, [this](int state) {
      if (input_open()) box_.value = value_of(static_cast<Qt::CheckState>(state));
    });
  }

 protected:
  void apply_kind() override {
    auto* check = static_cast<QCheckBox*>(widget());
    check->setText(to_qstring(box_.caption));
    const int value = box_.value;
    check->setCheckState(value >= 0 && value <= 2 ? kStates[value] : Qt::Unchecked);
  }

 private:
  // The control's values 0, 1 and 2.
  static constexpr Qt::CheckState kStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

  static int value_of(Qt::CheckState state) {
    for (int value = 0; value <= 2; ++value) {
      if (kStates[value] == state) return value;
    }
    return 0;
  }

  platform::CheckBox& box_;
};

// Option buttons are exclusive among the siblings in one parent widget, which is one container.
class OptionButtonBinding : public ControlBinding {
 public:
  OptionButtonBinding(platform::OptionButton& option, QWidget* parent, const Context& context)
      : ControlBinding(option, new QRadioButton(parent), context), option_(option) {
    // Selected however it came (a click, the arrow keys, an assistive tool's Toggle), the
    // option clears its siblings and raises Click through its value; the sibling the toolkit
    // clears on the way just follows.
    auto* radio = static_cast<QRadioButton*>(widget());
    QObject::connect(radio, &QRadioButton::toggled, radio, [this](bool checked) {
      if (input_open()) option_.value = checked;
    });
  }

 protected:
  void apply_kind() override {
    auto* radio = static_cast<QRadioButton*>(widget());
    radio->setText(to_qstring(option_.caption));
    if (option_.value) {
      radio->setChecked(true);
    } else if (radio->isChecked()) {
      // The logic may leave every option of a container clear; Qt refuses to uncheck the
      // checked one of an exclusive set.
      radio->setAutoExclusive(false);
      radio->setChecked(false);
      radio->setAutoExclusive(true);
    }
  }

 private:
  platform::OptionButton& option_;
};

// A frame as the classic toolkit draws it: an etched line around the frame whose top runs
// through the middle of the title. The frame's controls keep their places from its top left.
class ClassicGroupBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int line = metrics.height() / 2;
    const QRect box = rect().adjusted(0, line, -2, -2);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(box);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.translated(1, 1));
    if (title().isEmpty()) return;
    constexpr int kTitleIndent = 6;
    constexpr int kTitlePadding = 2;
    const QRect text(kTitleIndent, 0, metrics.horizontalAdvance(title()) + 2 * kTitlePadding,
                     metrics.height());
    painter.fillRect(text, palette().color(QPalette::Window));
    style()->drawItemText(&painter, text, Qt::AlignCenter, palette(), isEnabled(), title(),
                          QPalette::WindowText);
  }
};

class FrameBinding : public ControlBinding {
 public:
  FrameBinding(Control& frame, QWidget* parent, const Context& context)
      : ControlBinding(frame, new ClassicGroupBox(parent), context) {
    widget()->setAutoFillBackground(true);
  }

 protected:
  void apply_kind() override {
    static_cast<QGroupBox*>(widget())->setTitle(to_qstring(control().caption));
  }
};

// The logic uses picture boxes as coloured lamps and signal bars: a surface in its back colour.
// What a lamp's colour means is the program's to say, as the control's accessible description.
class PictureBoxBinding : public ControlBinding {
 public:
  PictureBoxBinding(Control& picture, QWidget* parent, const Context& context)
      : ControlBinding(picture, new QWidget(parent), context) {
    widget()->setAutoFillBackground(true);
  }

 protected:
  void apply_kind() override {}
};

class ProgressBarBinding : public ControlBinding {
 public:
  ProgressBarBinding(platform::ProgressBar& bar, QWidget* parent, const Context& context)
      : ControlBinding(bar, new QProgressBar(parent), context), bar_(bar) {
    static_cast<QProgressBar*>(widget())->setTextVisible(false);
  }

 protected:
  void apply_kind() override {
    auto* progress = static_cast<QProgressBar*>(widget());
    // A new value makes QProgressBar paint itself at once, a trip to the display server for
    // every step of a long loop; like every other control it waits for the window's next
    // painting instead (the event loop's, or UpdateWindow's while work runs).
    progress->setUpdatesEnabled(false);
    progress->setRange(bar_.min, bar_.max);
    progress->setValue(bar_.value);
    progress->setUpdatesEnabled(true);
  }

 private:
  platform::ProgressBar& bar_;
};

}  // namespace

std::unique_ptr<ControlBinding> bind_static_control(Control& control, QWidget* parent,
                                                    const ControlBinding::Context& context) {
  switch (control.kind()) {
    case ControlKind::Button:
      return std::make_unique<ButtonBinding>(control, parent, context);
    case ControlKind::Label:
      return std::make_unique<LabelBinding>(control, parent, context);
    case ControlKind::CheckBox:
      return std::make_unique<CheckBoxBinding>(static_cast<platform::CheckBox&>(control), parent,
                                               context);
    case ControlKind::OptionButton:
      return std::make_unique<OptionButtonBinding>(static_cast<platform::OptionButton&>(control),
                                                   parent, context);
    case ControlKind::Frame:
      return std::make_unique<FrameBinding>(control, parent, context);
    case ControlKind::PictureBox:
      return std::make_unique<PictureBoxBinding>(control, parent, context);
    case ControlKind::ProgressBar:
      return std::make_unique<ProgressBarBinding>(static_cast<platform::ProgressBar&>(control),
                                                  parent, context);
    default:
      return nullptr;
  }
}

}  // namespace nimbra::qt
