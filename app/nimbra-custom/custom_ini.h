// SPDX-License-Identifier: MIT
// Writing the customisation file as the distributor's commented INI.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "custom_fields.h"

namespace nimbra::custom {

struct IniValue {
  std::string value;
  std::vector<std::string> notes;  // comment lines put above the key
};

// Every section and field in the schema's order, each with its explanation and the value
// `value_of` gives it; `file_notes` are comment lines put after the file's own explanation.
std::string format_custom_ini(const std::function<IniValue(const CustomField&)>& value_of,
                              std::span<const std::string> file_notes = {});

// The template: every field at the value that leaves the window as built in.
std::string custom_template();

}  // namespace nimbra::custom
