// SPDX-License-Identifier: MIT
#include "platform/qt/widgets/form_view.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "platform/qt/widgets/control_widgets.h"

namespace nimbra::qt {
namespace {

using platform::Control;
using platform::WindowState;

class PostedMessage : public QEvent {
 public:
  PostedMessage(uint32_t message_number, uintptr_t word_param, intptr_t long_param)
      : QEvent(type()), message(message_number), wparam(word_param), lparam(long_param) {}

  static QEvent::Type type() {
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
  }

  const uint32_t message;
  const uintptr_t wparam;
  const intptr_t lparam;
};

Qt::WindowStates to_qt_state(WindowState state) {
  switch (state) {
    case WindowState::Minimized:
      return Qt::WindowMinimized;
    case WindowState::Maximized:
      return Qt::WindowMaximized;
    case WindowState::Normal:
      break;
  }
  return Qt::WindowNoState;
}

WindowState from_qt_state(Qt::WindowStates state) {
  if (state & Qt::WindowMinimized) return WindowState::Minimized;
  if (state & Qt::WindowMaximized) return WindowState::Maximized;
  return WindowState::Normal;
}

}  // namespace

FormView::FormView(platform::Form& form, platform::Hwnd handle, const TwipScale& scale,
                   std::function<void()> before_widgets)
    : form_(form), handle_(handle), scale_(scale), before_widgets_(std::move(before_widgets)) {
  setObjectName(QString::fromStdString(form.qualified_name()));
  form.set_observer(this);
  apply_form();
}

void FormView::make_widgets() {
  if (!opened_.empty()) return;
  opened_.insert(&form_);
  if (before_widgets_) std::exchange(before_widgets_, nullptr)();
  make_contents();
}

// One level of containers at a time: whether a frame shows is known once it and the frames
// beside it have their widgets.
void FormView::make_contents() {
  const ControlBinding::Context context{scale_, input_};
  bool made_any = false;
  for (;;) {
    for (const auto& binding : bindings_) {
      if (binding->widget() && !binding->covered()) opened_.insert(&binding->control());
    }
    std::vector<ControlBinding*> made;
    std::unordered_set<const Control*> with_frames;
    for (Control* control : form_.controls()) {
      if (control == &form_ || binding_of_.contains(control) ||
          !opened_.contains(control->container())) {
        continue;
      }
      const auto container = binding_of_.find(control->container());
      QWidget* parent = container != binding_of_.end() && container->second->widget()
                            ? container->second->widget()
                            : static_cast<QWidget*>(this);
      auto binding = bind_control(*control, parent, context);
      binding->apply();
      binding_of_.emplace(control, binding.get());
      made.push_back(binding.get());
      bindings_.push_back(std::move(binding));
      if (control->kind() == platform::ControlKind::Frame) with_frames.insert(control->container());
    }
    if (made.empty()) break;
    made_any = true;
    stack_by_z_order();
    pair_labels(made);
    for (const Control* container : with_frames) update_covered(container);
  }
  if (made_any) order_focus_chain();
}

// Siblings were stacked in their order of creation, the design's; the logic may have brought
// some to the front since.
void FormView::stack_by_z_order() {
  std::vector<ControlBinding*> stack;
  for (const auto& binding : bindings_) {
    if (binding->widget()) stack.push_back(binding.get());
  }
  std::stable_sort(stack.begin(), stack.end(),
                   [](const ControlBinding* a, const ControlBinding* b) {
                     return a->control().z_order() < b->control().z_order();
                   });
  for (ControlBinding* binding : stack) binding->widget()->raise();
}

// A field without a caption is named by the label just left of it on the same line, which is
// made along with it.
void FormView::pair_labels(const std::vector<ControlBinding*>& fields) {
  using platform::ControlKind;
  for (ControlBinding* binding : fields) {
    const Control& field = binding->control();
    const ControlKind kind = field.kind();
    if (kind != ControlKind::TextBox && kind != ControlKind::ComboBox) continue;
    const Control* nearest = nullptr;
    const int field_middle = field.top + field.height / 2;
    for (const Control* label : form_.controls()) {
      if (label->kind() != ControlKind::Label || label->container() != field.container()) continue;
      const bool same_line =
          label->top <= field_middle && field_middle <= label->top + label->height;
      const bool left_of = label->left + label->width <= field.left;
      if (same_line && left_of && (!nearest || label->left > nearest->left)) nearest = label;
    }
    if (!nearest) continue;
    binding->set_label(nearest);
    binding->apply();
    labelled_by_.emplace(nearest, binding);
    if (auto* label = qobject_cast<QLabel*>(binding_of_.at(nearest)->widget())) {
      label->setBuddy(binding->widget());
    }
  }
}

void FormView::order_focus_chain() {
  QWidget* previous = nullptr;
  for (const Control* control : form_.controls()) {
    const auto it = binding_of_.find(control);
    QWidget* widget = it != binding_of_.end() ? it->second->widget() : nullptr;
    if (!widget) continue;
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

FormView::~FormView() {
  input_.open = false;
  // The widgets go before their bindings, so no signal of a dying widget finds its binding gone.
  qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void FormView::close_input() {
  input_.open = false;
  hide();
}

void FormView::control_changed(Control& control) {
  if (opened_.empty() && &control != &form_) return;
  if (&control == &form_) {
    apply_form();
  } else if (const auto it = binding_of_.find(&control); it != binding_of_.end()) {
    it->second->apply();
  }
  if (const auto it = labelled_by_.find(&control); it != labelled_by_.end()) it->second->apply();
  if (control.kind() == platform::ControlKind::Frame) {
    update_covered(control.container());
    make_contents();
  }
}

// The pages behind the front one, stacked frames of one size, are not on the screen for a
// person, so they are not for assistive tools either; the model keeps them visible.
void FormView::update_covered(const Control* container) {
  const auto found = binding_of_.find(container);
  QWidget* parent = found != binding_of_.end() && found->second->widget()
                        ? found->second->widget()
                        : static_cast<QWidget*>(this);
  std::vector<ControlBinding*> stack;
  for (const auto& binding : bindings_) {
    if (binding->widget() && binding->control().container() == container) {
      stack.push_back(binding.get());
    }
  }
  // Bottom of the stack first, as the parent keeps its children.
  const QObjectList& order = parent->children();
  std::sort(stack.begin(), stack.end(), [&order](const ControlBinding* a, const ControlBinding* b) {
    return order.indexOf(a->widget()) < order.indexOf(b->widget());
  });
  for (size_t lower = 0; lower < stack.size(); ++lower) {
    const QRect area = stack[lower]->widget()->geometry();
    const bool covered = std::any_of(stack.begin() + static_cast<std::ptrdiff_t>(lower) + 1,
                                     stack.end(), [&](const ControlBinding* upper) {
                                       const Control& c = upper->control();
                                       return c.kind() == platform::ControlKind::Frame &&
                                              c.visible &&
                                              upper->widget()->geometry().contains(area);
                                     });
    stack[lower]->set_covered(covered);
  }
}

void FormView::paint_now() {
  if (!isVisible()) return;
  // Layout and geometry changes are queued events; settle them first so the painting is where
  // the widgets will be. A widget just shown asks for its first painting by a queued event too;
  // those only mark what is to be painted, so handing them over runs no other work.
  QCoreApplication::sendPostedEvents(this, QEvent::LayoutRequest);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
  repaint();
}

void FormView::apply_form() {
  const Mirroring mirroring(input_);
  setWindowTitle(to_qstring(form_.caption));
  setEnabled(form_.enabled);
  QPalette colors = palette();
  set_back_role(colors, QPalette::Window, to_qcolor(form_.back_color));
  set_text_role(colors, QPalette::WindowText, to_qcolor(form_.fore_color));
  if (colors != palette()) setPalette(colors);
  apply_form_placement();

  const Qt::WindowStates state = to_qt_state(form_.window_state);
  if (windowState() != state) setWindowState(state);
  if (form_.visible && !isVisible()) {
    make_widgets();
    show();
    activateWindow();
  } else if (!form_.visible && isVisible()) {
    hide();
  }
}

void FormView::apply_form_placement() {
  if (following_window_) return;
  // The form's size is the window's outer size; a form the logic never sized keeps Qt's.
  if (form_.width > 0 && form_.height > 0) {
    const QSize size(scale_.x(form_.width), scale_.y(form_.height));
    if (applied_size_ != size) {
      resize_outer(size);
      applied_size_ = size;
    }
  }
  // A form at 0,0 was never placed by the logic; the window manager places it. A window's
  // position is its frame's.
  const QPoint position(scale_.x(form_.left), scale_.y(form_.top));
  if (applied_position_ != position && (!position.isNull() || applied_position_)) {
    move(position);
  }
  applied_position_ = position;
}

QSize FormView::frame_size() const {
  return frameGeometry().size() - geometry().size();
}

// The client area is what remains inside the frame; it may shrink to nothing.
void FormView::resize_outer(const QSize& outer) {
  const QSize frame = frame_size();
  resize(std::max(outer.width() - frame.width(), 0), std::max(outer.height() - frame.height(), 0));
}

void FormView::show_without_activating() {
  setAttribute(Qt::WA_ShowWithoutActivating);
  show();
  // The frame's size is known once the window manager has framed and exposed the window (at
  // once without one); the caller measures the window right after this.
  constexpr int kExposeWaitMs = 1000;
  QElapsedTimer waited;
  waited.start();
  while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < kExposeWaitMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  }
}

void FormView::set_outer_geometry(const QRect& outer) {
  if (windowFlags() & Qt::WindowStaysOnTopHint) setWindowFlag(Qt::WindowStaysOnTopHint, false);
  if (!isVisible()) {
    make_widgets();
    show_without_activating();
  }
  move(outer.topLeft());
  resize_outer(outer.size().expandedTo(frame_size()));

  following_window_ = true;
  const QRect placed = frameGeometry();
  form_.left = scale_.twips_x(placed.x());
  form_.top = scale_.twips_y(placed.y());
  form_.width = scale_.twips_x(placed.width());
  form_.height = scale_.twips_y(placed.height());
  following_window_ = false;
  applied_position_ = QPoint(scale_.x(form_.left), scale_.y(form_.top));
  applied_size_ = QSize(scale_.x(form_.width), scale_.y(form_.height));
  form_.visible = true;
}

platform::WindowProcedure* FormView::set_procedure(platform::WindowProcedure* procedure) {
  platform::WindowProcedure* previous = procedure_;
  procedure_ = procedure ? procedure : &default_procedure_;
  return previous;
}

void FormView::post(uint32_t message, uintptr_t wparam, intptr_t lparam) {
  QCoreApplication::postEvent(this, new PostedMessage(message, wparam, lparam));
}

bool FormView::event(QEvent* event) {
  if (event->type() != PostedMessage::type()) return QWidget::event(event);
  if (input_.open) {
    const auto* posted = static_cast<PostedMessage*>(event);
    procedure_->handle(handle_, posted->message, posted->wparam, posted->lparam);
  }
  return true;
}

void FormView::changeEvent(QEvent* event) {
  // The user minimising or restoring the window is the form's window state too.
  if (event->type() == QEvent::WindowStateChange && input_.from_user()) {
    form_.window_state = from_qt_state(windowState());
  }
  QWidget::changeEvent(event);
}

void FormView::closeEvent(QCloseEvent* event) {
  // The view never closes its window itself: a close is the user's, and unloads the form.
  if (input_.open && form_.on_unload) form_.on_unload();
  // Unloading may have detached the form.
  if (input_.open) form_.visible = false;
  event->accept();
}

bool FormView::focusNextPrevChild(bool next) {
  QWidget* const start = focusWidget() ? focusWidget() : this;
  QWidget* candidate = start;
  const qsizetype widgets = findChildren<QWidget*>().size();
  for (qsizetype step = 0; step <= widgets; ++step) {
    candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
    if (candidate == start) break;
    if (takes_tab_focus(candidate)) {
      candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return false;
}

bool FormView::takes_tab_focus(QWidget* widget) const {
  if (!isAncestorOf(widget) || !(widget->focusPolicy() & Qt::TabFocus)) return false;
  if (!widget->isVisibleTo(this) || !widget->isEnabled()) return false;
  // Seen: what shows at its middle is the widget itself or one of its parts.
  const QWidget* seen = childAt(widget->mapTo(this, widget->rect().center()));
  return seen == widget || widget->isAncestorOf(seen);
}

void FormView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (input_.from_user() && !childAt(event->position().toPoint())) {
    form_.user_double_click();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace nimbra::qt
