// SPDX-License-Identifier: MIT
// The stored properties of a user control: what its container's design keeps of it, by name,
// in the order the control wrote them. A value equal to its default is never stored.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/controls/controls.h"

namespace nimbra::controls {

class PropertyBag {
 public:
  using Value = std::variant<std::string, platform::Color>;
  using Entry = std::pair<std::string, Value>;

  // The value stored under `name`, or `fallback` when none of that type is.
  template <class T>
  T read(std::string_view name, T fallback) const {
    for (const Entry& entry : entries_) {
      if (entry.first != name) continue;
      if (const T* value = std::get_if<T>(&entry.second)) return *value;
    }
    return fallback;
  }

  // Stores `value` under `name`, unless it is the default.
  template <class T>
  void write(std::string_view name, const T& value, const T& fallback) {
    if (value == fallback) return;
    std::erase_if(entries_, [&](const Entry& entry) { return entry.first == name; });
    entries_.emplace_back(std::string(name), value);
  }

  const std::vector<Entry>& entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace nimbra::controls
