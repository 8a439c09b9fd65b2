// SPDX-License-Identifier: MIT
#include "platform/qt/qt_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "platform/qt/widgets/look.h"

namespace nimbra::qt {
namespace {

using platform::MsgBoxButtons;
using platform::MsgBoxResult;

// Registered message numbers, as the system hands them out.
constexpr uint32_t kFirstRegisteredMessage = 0xC000;
constexpr uint32_t kLastRegisteredMessage = 0xFFFF;

QString from_view(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Message names compare without regard to ASCII case.
std::string message_key(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

}  // namespace

QtWindow::QtWindow(platform::Language ui_language) {
  apply_classic_look(ui_language);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    scale_ = TwipScale::from_dpi(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
  }
}

QtWindow::~QtWindow() {
  for (const auto& [handle, view] : views_) {
    view->form().set_observer(nullptr);
    delete view;
  }
}

platform::Hwnd QtWindow::attach(platform::Form& form) {
  for (const auto& [handle, view] : views_) {
    if (&view->form() == &form) return handle;
  }
  const platform::Hwnd handle = next_handle_;
  next_handle_ += 4;
  views_.emplace(handle, new FormView(form, handle, scale_, [this] {
                   if (before_widgets_) std::exchange(before_widgets_, nullptr)();
                 }));
  return handle;
}

void QtWindow::detach(platform::Form& form) {
  for (auto it = views_.begin(); it != views_.end(); ++it) {
    FormView* view = it->second;
    if (&view->form() != &form) continue;
    views_.erase(it);
    form.set_observer(nullptr);
    view->close_input();
    // Detaching may happen inside one of the view's own signal handlers.
    view->deleteLater();
    return;
  }
}

uint32_t QtWindow::RegisterWindowMessageA(std::string_view name) {
  const std::string key = message_key(name);
  if (const auto it = message_numbers_.find(key); it != message_numbers_.end()) return it->second;
  const auto number = kFirstRegisteredMessage + static_cast<uint32_t>(message_numbers_.size());
  if (number > kLastRegisteredMessage) return 0;
  message_numbers_.emplace(key, number);
  return number;
}

bool QtWindow::PostMessageA(platform::Hwnd window, uint32_t message, uintptr_t wparam,
                            intptr_t lparam) {
  FormView* target = view(window);
  if (!target) return false;
  target->post(message, wparam, lparam);
  return true;
}

platform::WindowProcedure* QtWindow::SetWindowProcedure(platform::Hwnd window,
                                                        platform::WindowProcedure* procedure) {
  FormView* target = view(window);
  return target ? target->set_procedure(procedure) : nullptr;
}

bool QtWindow::SetWindowPos(platform::Hwnd window, int32_t x, int32_t y, int32_t cx, int32_t cy) {
  FormView* target = view(window);
  if (!target) return false;
  target->set_outer_geometry(QRect(x, y, std::max(cx, 0), std::max(cy, 0)));
  return true;
}

bool QtWindow::GetWindowRect(platform::Hwnd window, platform::WindowRect& rect) {
  QRect area;
  if (window == kDesktop) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    area = screen->availableGeometry();
  } else if (const FormView* target = view(window)) {
    area = target->outer_geometry();
  } else {
    return false;
  }
  rect = {area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
  return true;
}

void QtWindow::do_events() {
  QCoreApplication::processEvents();
}

bool QtWindow::UpdateWindow(platform::Hwnd window) {
  FormView* target = view(window);
  if (!target) return false;
  target->paint_now();
  return true;
}

MsgBoxResult QtWindow::message_box(std::string_view text, std::string_view title,
                                   MsgBoxButtons buttons) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(from_view(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(from_view(text));
  switch (buttons) {
    case MsgBoxButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      box.setDefaultButton(QMessageBox::Ok);
      break;
    case MsgBoxButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      break;
    case MsgBoxButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
  }
  // A box closed without a button gives its escape answer: Cancel or No.
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return MsgBoxResult::Cancel;
    case QMessageBox::Yes:
      return MsgBoxResult::Yes;
    case QMessageBox::No:
      return MsgBoxResult::No;
    default:
      return MsgBoxResult::Ok;
  }
}

bool QtWindow::ExitWindowsEx(uint32_t flags, uint32_t /*reserved*/) {
  if (flags != platform::EWX_REBOOT) return false;
  std::vector<platform::Form*> forms;
  for (const auto& [handle, view] : views_) forms.push_back(&view->form());
  if (!restart_notice_.empty()) {
    QMessageBox box(QMessageBox::Information,
                    forms.empty() ? QString() : from_view(forms.front()->caption.get()),
                    from_view(restart_notice_), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
  }
  for (platform::Form* form : forms) {
    if (form->on_unload) form->on_unload();
  }
  end_program();
}

void QtWindow::end_program_now() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  // At once: no destructors run against the live windows.
  std::_Exit(0);
}

bool QtWindow::activate_window_titled(std::string_view title) {
  const QString wanted = from_view(title);
  for (const auto& [handle, view] : views_) {
    if (!view->isVisible() || view->windowTitle() != wanted) continue;
    view->setWindowState(view->windowState() & ~Qt::WindowMinimized);
    view->raise();
    view->activateWindow();
    return true;
  }
  return false;
}

FormView* QtWindow::view(platform::Hwnd window) const {
  const auto it = views_.find(window);
  return it == views_.end() ? nullptr : it->second;
}

}  // namespace nimbra::qt
