// SPDX-License-Identifier: MIT
// The customisation file as a distributor writes it: every field of the record under an INI
// section and key, with what it does to the window.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "shell/records/custom_record.h"

namespace nimbra::custom {

using shell::CustomRecord;

enum class FieldKind {
  Text,        // a text in the machine's code page, padded with spaces
  Flag,        // 1 or 0: 1 gives the effect the key names
  CheckState,  // a check box's state: 0 unchecked, 1 checked, 2 greyed
  Number,      // any 32-bit number
};

// What a flag does to its control, so that the check can put it in words.
enum class FlagRole { None, Visible, Disabled, Locked, StartLock };

struct CustomField {
  std::string_view section;
  std::string_view key;
  FieldKind kind;
  FlagRole role;
  int32_t CustomRecord::*number;    // the field of a flag, check state or number
  std::string CustomRecord::*text;  // the field of a text
  int32_t builtin;                  // what leaves the window as built in (a text: empty)
  // The control the field belongs to: fields with the same control are hidden together.
  std::string_view control;
  std::string_view help;  // what the field does, for the INI's comments
};

struct CustomSection {
  std::string_view name;
  std::string_view help;
};

std::span<const CustomField> custom_fields();
std::span<const CustomSection> custom_sections();

// Section and key names compare without regard to case; nothing when there is no such field.
const CustomField* find_custom_field(std::string_view section, std::string_view key);
const CustomSection* find_custom_section(std::string_view name);

// The record that leaves the window as built in: every field at its built-in value, texts
// all spaces.
CustomRecord builtin_record();

}  // namespace nimbra::custom
