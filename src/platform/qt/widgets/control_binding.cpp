#include "platform/qt/widgets/control_binding.h"

#include <QSignalBlocker>

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
  const QSignalBlocker blocker(widget_);
  apply_common();
  apply_kind();
}

void ControlBinding::apply_common() {
  const QRect rect = geometry();
  if (widget_->geometry() != rect) widget_->setGeometry(rect);
  widget_->setEnabled(control_.enabled);
  widget_->setToolTip(to_qstring(control_.tool_tip));
  const std::string& caption = control_.caption.get();
  if (!caption.empty()) {
    widget_->setAccessibleName(to_qstring(caption));
  } else if (label_ && !label_->caption.get().empty()) {
    widget_->setAccessibleName(to_qstring(label_->caption));
  } else {
    // Elements of a control array are told apart by their index: "Picture1_12".
    widget_->setAccessibleName(to_qstring(control_.qualified_name()));
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
