// SPDX-License-Identifier: MIT
#include "platform/qt/widgets/control_binding.h"

namespace nimbra::qt {

QString to_qstring(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor to_qcolor(platform::Color bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

void set_back_role(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
  palette.setColor(role, color);
}

void set_text_role(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
  palette.setColor(QPalette::Active, role, color);
  palette.setColor(QPalette::Inactive, role, color);
}

ControlBinding::ControlBinding(platform::Control& control, QWidget* widget, const Context& context)
    : control_(control), widget_(widget), context_(context) {
  if (!widget_) return;
  widget_->setObjectName(QString::fromStdString(control_.qualified_name()));
  // Creation order is the initial stacking order, as on the form's design.
  raised_z_order_ = control_.z_order();
}

void ControlBinding::apply() {
  if (!widget_) {
    apply_kind();
    return;
  }
  const Mirroring mirroring(context_.input);
  apply_common();
  apply_kind();
}

void ControlBinding::apply_common() {
  const QRect rect = geometry();
  if (widget_->geometry() != rect) widget_->setGeometry(rect);
  widget_->setEnabled(control_.enabled);
  widget_->setToolTip(to_qstring(control_.tool_tip));
  const QString name = to_qstring(spoken_name());
  if (widget_->accessibleName() != name) widget_->setAccessibleName(name);
  const QString description = to_qstring(control_.accessible_description);
  if (widget_->accessibleDescription() != description) {
    widget_->setAccessibleDescription(description);
  }

  QPalette palette = widget_->palette();
  apply_colors(palette, to_qcolor(control_.back_color), to_qcolor(control_.fore_color));
  if (palette != widget_->palette()) widget_->setPalette(palette);

  if (control_.z_order() > raised_z_order_) {
    raised_z_order_ = control_.z_order();
    widget_->raise();
  }
  widget_->setVisible(control_.visible && !covered_);
}

// The control's internal name is never announced: a control the program names for no one
// stays unnamed, as a person sees no name on it either.
const std::string& ControlBinding::spoken_name() const {
  if (!control_.accessible_name.get().empty()) return control_.accessible_name;
  if (!control_.caption.get().empty() || !label_) return control_.caption;
  return label_->caption;
}

void ControlBinding::set_covered(bool covered) {
  if (covered == covered_ || !widget_) return;
  covered_ = covered;
  widget_->setVisible(control_.visible && !covered_);
}

void ControlBinding::apply_colors(QPalette& palette, const QColor& back, const QColor& fore) const {
  set_back_role(palette, QPalette::Window, back);
  set_text_role(palette, QPalette::WindowText, fore);
}

QRect ControlBinding::geometry() const {
  return QRect(scale().x(control_.left), scale().y(control_.top), scale().x(control_.width),
               scale().y(control_.height));
}

}  // namespace nimbra::qt
