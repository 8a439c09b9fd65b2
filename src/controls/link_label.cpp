// SPDX-License-Identifier: MIT
#include "controls/link_label.h"

namespace nimbra::controls {

namespace {

// The default background is the system's colour of button faces.
constexpr platform::Color kDefaultBackColor = platform::kButtonFace;
constexpr std::string_view kDefaultCaption = "Label1";
constexpr std::string_view kDefaultUrl = "0";

}  // namespace

LinkLabel::LinkLabel(platform::Control* container, std::string name)
    : platform::Label(container, std::move(name)) {
  caption = std::string(kDefaultCaption);
  fore_color = 0xFF0000;  // blue, as links read
  marking_ = true;
}

void LinkLabel::read_properties(const PropertyBag& bag) {
  marking_ = false;
  back_color = bag.read("BackColor", kDefaultBackColor);
  caption = bag.read("Caption", std::string(kDefaultCaption));
  Font = bag.read("Font", std::string());
  URL = bag.read("URL", std::string(kDefaultUrl));
  tool_tip = bag.read("ToolTipText", std::string());
  marking_ = true;
  changed_.clear();
}

void LinkLabel::write_properties(PropertyBag& bag) const {
  bag.write("BackColor", back_color.get(), kDefaultBackColor);
  bag.write("Caption", caption.get(), std::string(kDefaultCaption));
  bag.write("Font", Font.get(), std::string());
  bag.write("URL", URL.get(), std::string(kDefaultUrl));
  bag.write("ToolTipText", tool_tip.get(), std::string());
}

void LinkLabel::restore(const platform::Control& design) {
  const auto& link = static_cast<const LinkLabel&>(design);
  URL.restore(link.URL);
  Font.restore(link.Font);
  changed_ = link.changed_;
  platform::Label::restore(design);
}

void LinkLabel::property_changed(const void* property) {
  if (marking_) {
    if (property == &back_color) changed_.insert("BackColor");
    if (property == &caption) changed_.insert("Caption");
    if (property == &Font) changed_.insert("Font");
    if (property == &URL) changed_.insert("URL");
    if (property == &tool_tip) changed_.insert("ToolTipText");
  }
  platform::Label::property_changed(property);
}

}  // namespace nimbra::controls
