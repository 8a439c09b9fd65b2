// SPDX-License-Identifier: MIT
// The top-level window of one attached form: the widgets of its controls, the form's own
// properties, and the window procedure that receives the messages posted to it.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/controls/controls.h"
#include "platform/qt/widgets/control_binding.h"
#include "platform/qt/widgets/twip_scale.h"
#include "platform/window.h"

namespace nimbra::qt {

class FormView : public QWidget, public platform::ControlObserver {
  Q_OBJECT

 public:
  // The controls get their widgets when the form is first shown; `before_widgets` runs just
  // before. The contents of a frame wholly behind another, a page behind the front one, get
  // theirs when it first comes out. Until then a change of a control reaches no widget: making
  // them applies all.
  FormView(platform::Form& form, platform::Hwnd handle, const TwipScale& scale,
           std::function<void()> before_widgets = nullptr);
  ~FormView() override;

  platform::Form& form() const { return form_; }
  platform::Hwnd handle() const { return handle_; }

  // Stops the timers and drops user input and posted messages from now on; the form may go
  // away before the widget does.
  void close_input();

  void control_changed(platform::Control& control) override;

  // A null procedure puts the default one back.
  platform::WindowProcedure* set_procedure(platform::WindowProcedure* procedure);
  void post(uint32_t message, uintptr_t wparam, intptr_t lparam);

  // Paints the window and every child now, without running any other event: the screen then
  // shows the controls as they are while the thread blocks.
  void paint_now();

  // The window's outer rectangle in pixels, frame and title bar included.
  QRect outer_geometry() const { return frameGeometry(); }
  // Moves and sizes the outer rectangle, no smaller than the frame; shows the window without
  // activating it and not on top. The form's placement follows.
  void set_outer_geometry(const QRect& outer);

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // Tab and Shift+Tab skip what cannot be seen, such as the controls of a page behind another.
  bool focusNextPrevChild(bool next) override;

 private:
  class DefaultProcedure : public platform::WindowProcedure {
   public:
    intptr_t handle(platform::Hwnd, uint32_t, uintptr_t, intptr_t) override { return 0; }
  };

  void make_widgets();
  // Makes the widgets of the controls of every container that shows, until none is missing.
  void make_contents();
  void stack_by_z_order();
  void apply_form();
  void pair_labels(const std::vector<ControlBinding*>& fields);
  // Puts the widgets in the focus chain in the order of the design, whenever they were made.
  void order_focus_chain();
  // Hides in the view what lies wholly behind a frame shown above it in `container`.
  void update_covered(const platform::Control* container);
  bool takes_tab_focus(QWidget* widget) const;
  void apply_form_placement();
  void resize_outer(const QSize& outer);
  // Frame and title bar around the client area; none until a window manager has framed it.
  QSize frame_size() const;
  void show_without_activating();

  platform::Form& form_;
  const platform::Hwnd handle_;
  const TwipScale scale_;
  ViewInput input_;
  bool following_window_ = false;  // the form takes the window's placement
  // Placement last taken from the form: the user may move the window, and only a new value
  // from the logic moves it again.
  std::optional<QPoint> applied_position_;
  std::optional<QSize> applied_size_;
  std::vector<std::unique_ptr<ControlBinding>> bindings_;
  std::unordered_map<const platform::Control*, ControlBinding*> binding_of_;
  // Each label and the field it names.
  std::unordered_map<const platform::Control*, ControlBinding*> labelled_by_;
  std::function<void()> before_widgets_;
  // The form, and the controls whose contents have widgets; empty until the first show.
  std::unordered_set<const platform::Control*> opened_;
  DefaultProcedure default_procedure_;
  platform::WindowProcedure* procedure_ = &default_procedure_;
};

}  // namespace nimbra::qt
