// SPDX-License-Identifier: MIT
// Controls of the window toolkit as plain objects that hold their own state. The program logic
// reads and writes their properties; a view (the Qt widgets, or the simulated machine) mirrors
// every change and turns user input into the controls' events. Setting a property from code
// raises the same events as the toolkit does: a text change raises Change, selecting an option
// button raises its Click, a new check box value raises Click.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nimbra::platform {

class Control;
class Form;

enum class ControlKind {
  Form,
  Button,
  Label,
  TextBox,
  CheckBox,
  OptionButton,
  Frame,
  TabStrip,
  TreeView,
  ComboBox,
  ListBox,
  ProgressBar,
  PictureBox,
  Timer,
};

// Receives every property change of the controls of a form (the form's view).
class ControlObserver {
 public:
  virtual ~ControlObserver() = default;
  virtual void control_changed(Control& control) = 0;
};

// A property whose assignment tells its control (and so the view) when the value changes.
template <class T>
class Property {
 public:
  Property(Control& owner, T initial) : owner_(owner), value_(std::move(initial)) {}
  Property(const Property&) = delete;
  Property& operator=(const Property& other) { return *this = other.value_; }

  Property& operator=(const T& v);
  // Changes the value in place and tells the control, without copying or comparing it: for
  // large values that grow a little at a time.
  template <class F>
  void update(F&& change);
  const T& get() const { return value_; }
  // Takes `design`'s value without raising events: part of restoring a whole control.
  void restore(const Property& design) { value_ = design.value_; }
  operator const T&() const { return value_; }  // NOLINT: reads like the plain field it models

  template <class U>
  friend bool operator==(const Property& p, const U& v) {
    return p.value_ == v;
  }

 private:
  Control& owner_;
  T value_;
};

// A colour in the toolkit's 0x00BBGGRR form: 255 is red, 0xFF00 green, 0xFF0000 blue.
using Color = uint32_t;

// The toolkit's default colours: the button face of forms and most controls, the window
// background of the controls the user types or picks in.
constexpr Color kButtonFace = 0xF0F0F0;
constexpr Color kWindowBackground = 0xFFFFFF;

class Control {
 public:
  // `container` is the frame, tab strip or form the control sits in. `index` is the element
  // number of a control array, -1 for a plain control.
  Control(Control* container, ControlKind kind, std::string name, int index = -1);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const std::string& name() const { return name_; }
  int index() const { return index_; }
  ControlKind kind() const { return kind_; }
  Control* container() const { return container_; }
  Form& form() const { return *form_; }
  // Name with the array index, e.g. "AccOption_3", for views and diagnostics.
  std::string qualified_name() const;

  // Geometry in twips, relative to the container.
  Property<int> left{*this, 0};
  Property<int> top{*this, 0};
  Property<int> width{*this, 0};
  Property<int> height{*this, 0};

  Property<std::string> caption{*this, {}};
  Property<std::string> tool_tip{*this, {}};
  Property<bool> enabled{*this, true};
  Property<bool> visible{*this, true};
  Property<Color> back_color{*this, kButtonFace};
  Property<Color> fore_color{*this, 0x000000};
  // What assistive tools announce where the caption does not say what the control is and
  // shows (a lamp, an untitled frame, a read-only text): its name, and what it shows now.
  // Empty: the view names the control by its caption or by its label.
  Property<std::string> accessible_name{*this, {}};
  Property<std::string> accessible_description{*this, {}};

  // Brings the control in front of its siblings (ZOrder 0); the view raises it.
  void bring_to_front();
  uint64_t z_order() const { return z_order_; }

  std::function<void()> on_click;

  // Raises Click as a user click does.
  void click();

  // Called by Property when a value changed; raises the toolkit's events for that property.
  virtual void property_changed(const void* property);

  // Takes every property of `design`, the same control as freshly built, without raising its
  // events (the view is told); the event handlers stay.
  virtual void restore(const Control& design);

 protected:
  void notify();

 private:
  friend class Form;
  Control* container_;
  Form* form_;
  ControlKind kind_;
  std::string name_;
  int index_;
  uint64_t z_order_ = 0;
};

template <class T>
template <class F>
void Property<T>::update(F&& change) {
  change(value_);
  owner_.property_changed(this);
}

template <class T>
Property<T>& Property<T>::operator=(const T& v) {
  if (!(value_ == v)) {
    value_ = v;
    owner_.property_changed(this);
  }
  return *this;
}

class Button : public Control {
 public:
  Button(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::Button, std::move(name), index) {}
};

class Label : public Control {
 public:
  Label(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::Label, std::move(name), index) {}
};

class Frame : public Control {
 public:
  Frame(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::Frame, std::move(name), index) {}
};

class TextBox : public Control {
 public:
  TextBox(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::TextBox, std::move(name), index) {
    back_color = kWindowBackground;
  }

  Property<std::string> text{*this, {}};
  Property<int> max_length{*this, 0};  // characters; 0 = no limit
  Property<std::string> password_char{*this, {}};
  Property<bool> locked{*this, false};  // read-only
  Property<bool> multi_line{*this, false};

  std::function<void()> on_change;

  void property_changed(const void* property) override;
  void restore(const Control& design) override;
};

class CheckBox : public Control {
 public:
  CheckBox(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::CheckBox, std::move(name), index) {}

  Property<int> value{*this, 0};  // 0 unchecked, 1 checked, 2 greyed

  void property_changed(const void* property) override;
  void restore(const Control& design) override;
};

class OptionButton : public Control {
 public:
  OptionButton(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::OptionButton, std::move(name), index) {}

  // Selecting an option clears the other options of its container and raises Click.
  Property<bool> value{*this, false};

  void property_changed(const void* property) override;
  void restore(const Control& design) override;
};

class TabStrip : public Control {
 public:
  TabStrip(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::TabStrip, std::move(name), index) {}

  Property<std::vector<std::string>> tab_captions{*this, {}};
  // 1-based, as the toolkit's SelectedItem.Index.
  Property<int> selected{*this, 1};

  // Client area of the tab strip, in twips relative to its container.
  int client_left() const;
  int client_top() const;
  int client_width() const;
  int client_height() const;

  // A user click on tab `index` (1-based): selects it, then raises Click.
  void user_select(int index);
  void restore(const Control& design) override;
};

struct TreeNode {
  std::string key;
  std::string text;
  bool checked = false;
  friend bool operator==(const TreeNode&, const TreeNode&) = default;
};

class TreeView : public Control {
 public:
  TreeView(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::TreeView, std::move(name), index) {
    back_color = kWindowBackground;
  }

  Property<std::vector<TreeNode>> nodes{*this, {}};

  // Node `index` is 1-based, as in the toolkit.
  const TreeNode& node(int index) const { return nodes.get().at(static_cast<size_t>(index - 1)); }
  void add_node(std::string key, std::string text);
  void set_checked(int index, bool checked);  // from code: no event
  void set_text(int index, std::string text);

  // A user toggled the check box of node `index`: sets it, then raises NodeCheck.
  void user_check(int index, bool checked);
  std::function<void(int index)> on_node_check;
  void restore(const Control& design) override;
};

class ListControl : public Control {
 public:
  ListControl(Control* container, ControlKind kind, std::string name, int index = -1)
      : Control(container, kind, std::move(name), index) {
    back_color = kWindowBackground;
  }

  Property<std::vector<std::string>> items{*this, {}};
  Property<int> list_index{*this, -1};  // -1 = nothing selected

  // Appends in place; a view may then add the new item alone. Every other change of `items`
  // counts in items_replaced, so a view knows when to take the whole list again.
  void add_item(std::string item);
  uint64_t items_replaced() const { return items_replaced_; }
  void property_changed(const void* property) override;
  void clear();
  // A user picked item `index`: selects it, then raises Click.
  void user_select(int index);
  void restore(const Control& design) override;

 private:
  bool appending_ = false;
  uint64_t items_replaced_ = 0;
};

class ComboBox : public ListControl {
 public:
  ComboBox(Control* container, std::string name, int index = -1)
      : ListControl(container, ControlKind::ComboBox, std::move(name), index) {}
};

class ListBox : public ListControl {
 public:
  ListBox(Control* container, std::string name, int index = -1)
      : ListControl(container, ControlKind::ListBox, std::move(name), index) {}
};

class ProgressBar : public Control {
 public:
  ProgressBar(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::ProgressBar, std::move(name), index) {}

  Property<int> min{*this, 0};
  Property<int> max{*this, 100};
  Property<int> value{*this, 0};
  void restore(const Control& design) override;
};

class PictureBox : public Control {
 public:
  PictureBox(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::PictureBox, std::move(name), index) {}
};

class Timer : public Control {
 public:
  Timer(Control* container, std::string name, int index = -1)
      : Control(container, ControlKind::Timer, std::move(name), index) {
    enabled = false;
  }

  Property<int> interval{*this, 0};  // milliseconds; 0 = stopped
  std::function<void()> on_tick;

  // Raised by the view each time the interval has passed while enabled.
  void tick();
  void restore(const Control& design) override;
};

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// A form's left, top, width and height are its window's outer rectangle on the screen, in twips,
// frame and title bar included; the controls sit in the client area inside the frame.
class Form : public Control {
 public:
  explicit Form(std::string name);

  Property<WindowState> window_state{*this, WindowState::Normal};

  std::function<void()> on_dbl_click;
  // Raised by the view when the user closes the window.
  std::function<void()> on_unload;

  void set_observer(ControlObserver* observer) { observer_ = observer; }
  ControlObserver* observer() const { return observer_; }

  // Every control of the form in creation order, the form itself first.
  const std::vector<Control*>& controls() const { return controls_; }
  Control* find(std::string_view name, int index = -1) const;

  void user_double_click();
  uint64_t next_z_order() { return ++z_counter_; }

  // Puts every control back as `design`, a freshly built form of the same type, has it, so that
  // a form loaded again starts as it did the first time; the event handlers stay.
  void restore_design(const Form& design);
  void restore(const Control& design) override;

 private:
  friend class Control;
  ControlObserver* observer_ = nullptr;
  std::vector<Control*> controls_;
  uint64_t z_counter_ = 0;
};

// A control array: elements share a name and are told apart by index, as in `Frames` (0)-(4).
template <class T>
class ControlArray {
 public:
  ControlArray(Control* container, const std::string& name, int first, int last) {
    for (int i = first; i <= last; ++i)
      elements_.push_back(std::make_unique<T>(container, name, i));
  }
  T& operator[](int index) { return *elements_.at(static_cast<size_t>(index - first_index())); }
  const T& operator[](int index) const {
    return *elements_.at(static_cast<size_t>(index - first_index()));
  }
  int first_index() const { return elements_.front()->index(); }
  int size() const { return static_cast<int>(elements_.size()); }
  auto begin() const { return elements_.begin(); }
  auto end() const { return elements_.end(); }

 private:
  std::vector<std::unique_ptr<T>> elements_;
};

}  // namespace nimbra::platform
