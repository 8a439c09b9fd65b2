// SPDX-License-Identifier: MIT
#include "platform/controls/controls.h"

#include <algorithm>
#include <stdexcept>

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

void Control::restore(const Control& design) {
  left.restore(design.left);
  top.restore(design.top);
  width.restore(design.width);
  height.restore(design.height);
  caption.restore(design.caption);
  tool_tip.restore(design.tool_tip);
  enabled.restore(design.enabled);
  visible.restore(design.visible);
  back_color.restore(design.back_color);
  fore_color.restore(design.fore_color);
  accessible_name.restore(design.accessible_name);
  accessible_description.restore(design.accessible_description);
  z_order_ = design.z_order_;
  notify();
}

void TextBox::restore(const Control& design) {
  const auto& d = static_cast<const TextBox&>(design);
  text.restore(d.text);
  max_length.restore(d.max_length);
  password_char.restore(d.password_char);
  locked.restore(d.locked);
  multi_line.restore(d.multi_line);
  Control::restore(design);
}

void CheckBox::restore(const Control& design) {
  value.restore(static_cast<const CheckBox&>(design).value);
  Control::restore(design);
}

void OptionButton::restore(const Control& design) {
  value.restore(static_cast<const OptionButton&>(design).value);
  Control::restore(design);
}

void TabStrip::restore(const Control& design) {
  const auto& d = static_cast<const TabStrip&>(design);
  tab_captions.restore(d.tab_captions);
  selected.restore(d.selected);
  Control::restore(design);
}

void TreeView::restore(const Control& design) {
  nodes.restore(static_cast<const TreeView&>(design).nodes);
  Control::restore(design);
}

void ListControl::restore(const Control& design) {
  const auto& d = static_cast<const ListControl&>(design);
  items.restore(d.items);
  list_index.restore(d.list_index);
  Control::restore(design);
}

void ProgressBar::restore(const Control& design) {
  const auto& d = static_cast<const ProgressBar&>(design);
  min.restore(d.min);
  max.restore(d.max);
  value.restore(d.value);
  Control::restore(design);
}

void Timer::restore(const Control& design) {
  interval.restore(static_cast<const Timer&>(design).interval);
  Control::restore(design);
}

void Form::restore(const Control& design) {
  const auto& d = static_cast<const Form&>(design);
  window_state.restore(d.window_state);
  z_counter_ = d.z_counter_;
  Control::restore(design);
}

void Form::restore_design(const Form& design) {
  if (design.controls_.size() != controls_.size()) {
    throw std::logic_error("restore_design: " + name() + " built differently");
  }
  for (size_t i = 0; i < controls_.size(); ++i) {
    Control& mine = *controls_[i];
    const Control& theirs = *design.controls_[i];
    if (mine.kind() != theirs.kind() || mine.qualified_name() != theirs.qualified_name()) {
      throw std::logic_error("restore_design: " + mine.qualified_name() + " has no twin");
    }
    mine.restore(theirs);
  }
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
