// The program's own clickable text label: a caption, a tool tip and a stored link target. What a
// click does is up to the window that holds it.
#pragma once

#include <string>

#include "platform/controls.h"

namespace nimbra::controls {

class LinkLabel : public platform::Label {
 public:
  LinkLabel(platform::Control* container, std::string name)
      : platform::Label(container, std::move(name)) {
    caption = "Label1";
    fore_color = 0xFF0000;  // blue, as links read
  }

  // The link target; "0" until the window sets one.
  platform::Property<std::string> URL{*this, "0"};

  void restore(const platform::Control& design) override {
    URL.restore(static_cast<const LinkLabel&>(design).URL);
    platform::Label::restore(design);
  }
};

}  // namespace nimbra::controls
