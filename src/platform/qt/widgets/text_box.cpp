// SPDX-License-Identifier: MIT
// Text boxes: a line edit, or a plain text edit for a multi-line box (fixed when the form is
// built, as the toolkit fixes it at design time).
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QValidator>
#include <algorithm>

#include "platform/controls/user_edit.h"
#include "platform/qt/widgets/control_widgets.h"

namespace nimbra::qt {
namespace {

using platform::TextBox;

// The box's text as the user sees it; a multi-line box keeps the toolkit's CR LF line ends.
QString shown_text(const TextBox& box) {
  QString text = to_qstring(box.text);
  if (box.multi_line) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

// What the box keeps of the user's edit within its maximum length (text set from code may be
// longer); the caret stays after what was kept of the inserted text.
QString fit_to_max_length(const TextBox& box, const QString& edited, int& caret) {
  const QString kept = QString::fromStdString(
      platform::fit_user_edit(shown_text(box).toStdString(), edited.toStdString(), box.max_length));
  caret = static_cast<int>(
      std::clamp<qsizetype>(caret - (edited.size() - kept.size()), 0, kept.size()));
  return kept;
}

class MaxLengthValidator : public QValidator {
 public:
  MaxLengthValidator(const TextBox& box, QObject* parent) : QValidator(parent), box_(box) {}

  State validate(QString& input, int& caret) const override {
    input = fit_to_max_length(box_, input, caret);
    return Acceptable;
  }

 private:
  const TextBox& box_;
};

void apply_text_colors(QPalette& palette, const QColor& back, const QColor& fore) {
  set_back_role(palette, QPalette::Base, back);
  set_text_role(palette, QPalette::Text, fore);
}

class LineEditBinding : public ControlBinding {
 public:
  LineEditBinding(TextBox& box, QWidget* parent, const Context& context)
      : ControlBinding(box, new QLineEdit(parent), context), box_(box) {
    auto* edit = static_cast<QLineEdit*>(widget());
    edit->setValidator(new MaxLengthValidator(box_, edit));
    // Typed, pasted, or set by an assistive tool's text interface (which goes through setText).
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this](const QString& text) {
      if (input_open()) box_.text = text.toStdString();
    });
  }

 protected:
  void apply_kind() override {
    auto* edit = static_cast<QLineEdit*>(widget());
    const QString text = shown_text(box_);
    if (edit->text() != text) edit->setText(text);
    edit->setReadOnly(box_.locked);
    apply_password_char(*edit);
  }
  void apply_colors(QPalette& palette, const QColor& back, const QColor& fore) const override {
    apply_text_colors(palette, back, fore);
  }

 private:
  // The typed characters show as the box's password character, as the toolkit shows them.
  void apply_password_char(QLineEdit& edit) {
    const QString mask = to_qstring(box_.password_char);
    if (mask == shown_mask_) return;
    shown_mask_ = mask;
    edit.setEchoMode(mask.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
    edit.setStyleSheet(mask.isEmpty() ? QString()
                                      : QStringLiteral("QLineEdit { lineedit-password-character: "
                                                       "%1 }")
                                            .arg(mask.toUcs4().value(0)));
  }

  TextBox& box_;
  QString shown_mask_;
};

class PlainTextBinding : public ControlBinding {
 public:
  PlainTextBinding(TextBox& box, QWidget* parent, const Context& context)
      : ControlBinding(box, new QPlainTextEdit(parent), context), box_(box) {
    auto* edit = static_cast<QPlainTextEdit*>(widget());
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] { user_edited(); });
  }

 protected:
  void apply_kind() override {
    auto* edit = static_cast<QPlainTextEdit*>(widget());
    const QString text = shown_text(box_);
    if (edit->toPlainText() != text) edit->setPlainText(text);
    edit->setReadOnly(box_.locked);
  }
  void apply_colors(QPalette& palette, const QColor& back, const QColor& fore) const override {
    apply_text_colors(palette, back, fore);
  }

 private:
  void user_edited() {
    if (!input_open()) return;
    auto* edit = static_cast<QPlainTextEdit*>(widget());
    QString text = edit->toPlainText();
    int caret = edit->textCursor().position();
    const QString kept = fit_to_max_length(box_, text, caret);
    if (kept != text) {
      text = kept;
      const QSignalBlocker blocker(edit);
      edit->setPlainText(text);
      QTextCursor cursor = edit->textCursor();
      cursor.setPosition(caret);
      edit->setTextCursor(cursor);
    }
    box_.text = text.replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
  }

  TextBox& box_;
};

}  // namespace

std::unique_ptr<ControlBinding> bind_text_box(TextBox& box, QWidget* parent,
                                              const ControlBinding::Context& context) {
  if (box.multi_line) return std::make_unique<PlainTextBinding>(box, parent, context);
  return std::make_unique<LineEditBinding>(box, parent, context);
}

}  // namespace nimbra::qt
