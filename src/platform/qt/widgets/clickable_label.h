// SPDX-License-Identifier: MIT
// A label that raises Click as the toolkit's labels do; the program's link labels depend on it.
// While the program answers its clicks it is a link to assistive tools, and their Press action
// clicks it as the mouse does.
#pragma once

#include <QLabel>
#include <functional>

namespace nimbra::qt {

class ClickableLabel : public QLabel {
 public:
  // `answered` says whether the program acts on a click now.
  ClickableLabel(QWidget* parent, std::function<void()> on_click, std::function<bool()> answered);

  bool answered() const { return answered_(); }
  void click() { on_click_(); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::function<void()> on_click_;
  std::function<bool()> answered_;
};

}  // namespace nimbra::qt
