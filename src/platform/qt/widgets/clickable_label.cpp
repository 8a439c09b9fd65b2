// SPDX-License-Identifier: MIT
#include "platform/qt/widgets/clickable_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>

namespace nimbra::qt {
namespace {

// Text to assistive tools as the toolkit's labels are, and a link with a Press action while the
// program answers its clicks.
class AccessibleLabel : public QAccessibleWidget {
 public:
  explicit AccessibleLabel(ClickableLabel* label)
      : QAccessibleWidget(label, QAccessible::StaticText) {}

  QAccessible::Role role() const override {
    return label()->answered() ? QAccessible::Link : QAccessible::StaticText;
  }
  QString text(QAccessible::Text kind) const override {
    const QString text = QAccessibleWidget::text(kind);
    if (kind != QAccessible::Name || !text.isEmpty()) return text;
    return label()->text();
  }
  // The field the label names, as the toolkit's labels tell.
  QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto found = QAccessibleWidget::relations(match);
    if ((match & QAccessible::Labelled) && label()->buddy()) {
      found.append(
          {QAccessible::queryAccessibleInterface(label()->buddy()), QAccessible::Labelled});
    }
    return found;
  }
  QStringList actionNames() const override {
    const QStringList others = QAccessibleWidget::actionNames();
    return label()->answered() ? QStringList{pressAction()} + others : others;
  }
  void doAction(const QString& action) override {
    if (action != pressAction()) {
      QAccessibleWidget::doAction(action);
    } else if (label()->answered() && label()->isEnabled()) {
      label()->click();
    }
  }

 private:
  ClickableLabel* label() const { return static_cast<ClickableLabel*>(widget()); }
};

QAccessibleInterface* interface_for(const QString&, QObject* object) {
  auto* label = dynamic_cast<ClickableLabel*>(object);
  return label ? new AccessibleLabel(label) : nullptr;
}

}  // namespace

ClickableLabel::ClickableLabel(QWidget* parent, std::function<void()> on_click,
                               std::function<bool()> answered)
    : QLabel(parent), on_click_(std::move(on_click)), answered_(std::move(answered)) {
  static const bool installed = (QAccessible::installFactory(&interface_for), true);
  (void)installed;
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
  event->setAccepted(event->button() == Qt::LeftButton);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
  on_click_();
}

}  // namespace nimbra::qt
