// SPDX-License-Identifier: MIT
// The program's own clickable text label: a caption, a tool tip and a stored link target. What a
// click does is up to the window that holds it.
#pragma once

#include <set>
#include <string>

#include "controls/property_bag.h"
#include "platform/controls/controls.h"

namespace nimbra::controls {

class LinkLabel : public platform::Label {
 public:
  // A new instance placed in a container.
  LinkLabel(platform::Control* container, std::string name);

  // The link target; "0" until the window sets one.
  platform::Property<std::string> URL{*this, "0"};
  // The label's font by its description; empty is the container's ambient font.
  platform::Property<std::string> Font{*this, {}};
  // BackColor, Caption and ToolTipText are the label's back_color, caption and tool_tip.

  // The stored properties, by their stored names; the defaults are not stored. Reading marks
  // nothing as changed.
  void read_properties(const PropertyBag& bag);
  void write_properties(PropertyBag& bag) const;

  // The stored names of the properties set since the instance was made or read, so that the
  // container's design keeps them.
  const std::set<std::string>& changed_properties() const { return changed_; }

  void property_changed(const void* property) override;
  void restore(const platform::Control& design) override;

 private:
  std::set<std::string> changed_;
  bool marking_ = false;
};

}  // namespace nimbra::controls
