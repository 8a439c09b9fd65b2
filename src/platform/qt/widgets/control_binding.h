// SPDX-License-Identifier: MIT
// One control bound to its widget: the properties every control shares are mirrored here, each
// kind adds its own properties and turns the widget's user input into the control's events.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

#include "platform/controls/controls.h"
#include "platform/qt/widgets/twip_scale.h"

namespace nimbra::qt {

QString to_qstring(const std::string& text);
QColor to_qcolor(platform::Color bgr);

// A control's colours on a palette: backgrounds in every state, text only while enabled, so that
// disabled widgets still look greyed.
void set_back_role(QPalette& palette, QPalette::ColorRole role, const QColor& color);
void set_text_role(QPalette& palette, QPalette::ColorRole role, const QColor& color);

// Whether a change of a widget's value is the user's, to become the control's value and event.
// Not once the view is detached, and not while the view mirrors the controls onto the widgets:
// a widget that changes then, itself or by a side effect such as the option an exclusive
// sibling clears, follows the program.
struct ViewInput {
  bool open = true;
  int mirroring = 0;
  bool from_user() const { return open && mirroring == 0; }
};

// Marks the view as mirroring for its lifetime.
class Mirroring {
 public:
  explicit Mirroring(ViewInput& input) : input_(input) { ++input_.mirroring; }
  Mirroring(const Mirroring&) = delete;
  Mirroring& operator=(const Mirroring&) = delete;
  ~Mirroring() { --input_.mirroring; }

 private:
  ViewInput& input_;
};

class ControlBinding {
 public:
  struct Context {
    const TwipScale& scale;
    ViewInput& input;
  };

  ControlBinding(platform::Control& control, QWidget* widget, const Context& context);
  ControlBinding(const ControlBinding&) = delete;
  ControlBinding& operator=(const ControlBinding&) = delete;
  virtual ~ControlBinding() = default;

  platform::Control& control() const { return control_; }
  // The widget, and the parent of the controls the control contains; null for a timer.
  QWidget* widget() const { return widget_; }

  // The label that names this control for assistive tools when it has no caption of its own.
  void set_label(const platform::Control* label) { label_ = label; }

  // A covered control stays hidden in the view whatever its visibility in the model.
  void set_covered(bool covered);
  bool covered() const { return covered_; }

  // Mirrors every property of the control onto the widget. A widget's value changes only by
  // the user otherwise, so the bindings take every value change outside this as input,
  // whatever its source: the mouse, the keyboard or an assistive tool.
  void apply();

 protected:
  virtual void apply_kind() = 0;
  // Palette roles the back colour paints on this kind of widget.
  virtual void apply_colors(QPalette& palette, const QColor& back, const QColor& fore) const;
  virtual QRect geometry() const;

  bool input_open() const { return context_.input.from_user(); }
  const TwipScale& scale() const { return context_.scale; }

 private:
  void apply_common();
  const std::string& spoken_name() const;

  platform::Control& control_;
  QWidget* widget_;
  Context context_;
  const platform::Control* label_ = nullptr;
  uint64_t raised_z_order_ = 0;
  bool covered_ = false;
};

}  // namespace nimbra::qt
