#include "platform/controls.h"

#include <algorithm>

namespace nimbra::platform {

namespace {
// Twips the tab strip keeps around its client area: a row of tabs on top, a border around.
constexpr int kTabRowHeight = 360;
constexpr int kTabBorder = 45;
}  // namespace

Control::Control(Control* container, ControlKind kind, std::string name, int index)
    : container_(container),
      form_(container ? &container->form() : nullptr),
      kind_(kind),
      name_(std::move(name)),
      index_(index) {
  // The form registers itself once its own members exist (see Form::Form).
  if (container) form_->controls_.push_back(this);
}

std::string Control::qualified_name() const {
  return index_ < 0 ? name_ : name_ + "_" + std::to_string(index_);
}

void Control::bring_to_front() {
  z_order_ = form_->next_z_order();
  notify();
}

void Control::click() {
  if (on_click) on_click();
}

void Control::property_changed(const void*) {
  notify();
}

void Control::notify() {
  if (auto* observer = form_->observer()) observer->control_changed(*this);
}

void TextBox::property_changed(const void* property) {
  notify();
  if (property == &text && on_change) on_change();
}

void CheckBox::property_changed(const void* property) {
  notify();
  if (property == &value) click();
}

void OptionButton::property_changed(const void* property) {
  notify();
  if (property != &value || !value.get()) return;
  for (Control* c : form().controls()) {
    if (c != this && c->kind() == ControlKind::OptionButton && c->container() == container()) {
      static_cast<OptionButton*>(c)->value = false;
    }
  }
  click();
}

int TabStrip::client_left() const {
  return left + kTabBorder;
}
int TabStrip::client_top() const {
  return top + kTabRowHeight;
}
int TabStrip::client_width() const {
  return std::max(0, width - 2 * kTabBorder);
}
int TabStrip::client_height() const {
  return std::max(0, height - kTabRowHeight - kTabBorder);
}

void TabStrip::user_select(int index) {
  selected = index;
  click();
}

void TreeView::add_node(std::string key, std::string text) {
  auto list = nodes.get();
  list.push_back(TreeNode{std::move(key), std::move(text), false});
  nodes = list;
}

void TreeView::set_checked(int index, bool checked) {
  auto list = nodes.get();
  list.at(static_cast<size_t>(index - 1)).checked = checked;
  nodes = list;
}

void TreeView::set_text(int index, std::string text) {
  auto list = nodes.get();
  list.at(static_cast<size_t>(index - 1)).text = std::move(text);
  nodes = list;
}

void TreeView::user_check(int index, bool checked) {
  set_checked(index, checked);
  if (on_node_check) on_node_check(index);
}

void ListControl::add_item(std::string item) {
  appending_ = true;
  items.update([&item](std::vector<std::string>& list) { list.push_back(std::move(item)); });
  appending_ = false;
}

void ListControl::property_changed(const void* property) {
  if (property == &items && !appending_) ++items_replaced_;
  Control::property_changed(property);
}

void ListControl::clear() {
  items = std::vector<std::string>{};
  list_index = -1;
}

void ListControl::user_select(int index) {
  list_index = index;
  click();
}

void Timer::tick() {
  if (enabled && interval > 0 && on_tick) on_tick();
}

Form::Form(std::string name) : Control(nullptr, ControlKind::Form, std::move(name)) {
  form_ = this;
  controls_.push_back(this);
  visible = false;
}

Control* Form::find(std::string_view name, int index) const {
  const auto it = std::find_if(controls_.begin(), controls_.end(), [&](const Control* c) {
    return c->name() == name && c->index() == index;
  });
  return it == controls_.end() ? nullptr : *it;
}

void Form::user_double_click() {
  if (on_dbl_click) on_dbl_click();
}

}  // namespace nimbra::platform
