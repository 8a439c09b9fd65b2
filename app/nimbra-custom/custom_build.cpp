// SPDX-License-Identifier: MIT
#include "custom_build.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>

#include "custom_text.h"
#include "platform/text/ini_file.h"

namespace nimbra::custom {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::optional<int32_t> parse_number(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

// Takes one key's value into the record; the reason when it cannot.
std::optional<std::string> take_value(const CustomField& field, const std::string& value,
                                      platform::CodePage page, CustomRecord& record) {
  if (field.kind == FieldKind::Text) {
    std::string problem;
    const auto bytes = encode_text(value, page, &problem);
    if (!bytes) return problem;
    const size_t width = shell::custom_text_field(field.text).width;
    if (bytes->size() > width) {
      return "the text takes " + std::to_string(bytes->size()) + " bytes in " +
             code_page_name(page) + "; the field holds " + std::to_string(width);
    }
    record.*field.text = *bytes + std::string(width - bytes->size(), ' ');
    return std::nullopt;
  }
  if (value.empty()) return "no value: " + std::string(field.key) + " needs a number";
  const auto number = parse_number(value);
  if (!number) return "\"" + value + "\" is not a 32-bit whole number";
  if (field.kind == FieldKind::Flag && *number != 0 && *number != 1) {
    return "a flag is 1 or 0, not " + value;
  }
  if (field.kind == FieldKind::CheckState && (*number < 0 || *number > 2)) {
    return "a check state is 0 (unchecked), 1 (checked) or 2 (greyed), not " + value;
  }
  record.*field.number = *number;
  return std::nullopt;
}

}  // namespace

BuildResult build_custom(std::string_view ini_text, platform::CodePage page) {
  if (ini_text.starts_with(kByteOrderMark)) ini_text.remove_prefix(kByteOrderMark.size());
  BuildResult result;
  std::string parse_error;
  size_t error_line = 0;
  const platform::IniFile ini = platform::IniFile::parse(ini_text, &parse_error, &error_line);
  if (error_line != 0) {
    result.refusals.push_back({error_line, "expected [section] or key = value"});
  }
  CustomRecord record = builtin_record();
  std::map<const CustomField*, size_t> given;  // field -> the line that set it
  for (const platform::IniFile::Section& section : ini.sections()) {
    if (!find_custom_section(section.name)) {
      result.refusals.push_back({section.line, "unknown section [" + section.name + "]"});
      continue;
    }
    for (const platform::IniFile::Entry& entry : section.entries) {
      const CustomField* field = find_custom_field(section.name, entry.key);
      if (!field) {
        result.refusals.push_back(
            {entry.line, "unknown key \"" + entry.key + "\" in [" + section.name + "]"});
        continue;
      }
      if (const auto first = given.find(field); first != given.end()) {
        result.refusals.push_back({entry.line, entry.key + " is given twice (first on line " +
                                                   std::to_string(first->second) + ")"});
        continue;
      }
      given.emplace(field, entry.line);
      if (auto reason = take_value(*field, entry.value, page, record)) {
        result.refusals.push_back({entry.line, entry.key + ": " + *reason});
      }
    }
  }
  std::stable_sort(result.refusals.begin(), result.refusals.end(),
                   [](const Refusal& a, const Refusal& b) { return a.line < b.line; });
  if (result.refusals.empty()) result.image = shell::encode_custom(record);
  return result;
}

}  // namespace nimbra::custom
