// SPDX-License-Identifier: MIT
#include "custom_show.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "custom_ini.h"
#include "custom_text.h"
#include "platform/text/bytes.h"

namespace nimbra::custom {

namespace {

constexpr size_t kHexPerLine = 16;

// Comment lines holding the bytes in hex, with the offset of each line's first byte.
std::vector<std::string> hex_lines(std::span<const uint8_t> bytes, size_t offset) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < bytes.size(); i += kHexPerLine) {
    char head[16];
    std::snprintf(head, sizeof head, "%5zu:", offset + i);
    std::string line = head;
    for (size_t j = i; j < std::min(bytes.size(), i + kHexPerLine); ++j) {
      char byte[4];
      std::snprintf(byte, sizeof byte, " %02x", bytes[j]);
      line += byte;
    }
    lines.push_back(line);
  }
  return lines;
}

std::string where(const CustomField& field) {
  return "[" + std::string(field.section) + "] " + std::string(field.key);
}

class Shower {
 public:
  Shower(std::span<const uint8_t, CustomRecord::kSize> image, platform::CodePage page)
      : image_(image), record_(shell::decode_custom(image)), page_(page) {}

  IniValue value_of(const CustomField& field) {
    if (field.kind == FieldKind::Text) return text_value(field);
    const int32_t number = record_.*field.number;
    const bool flag_outside = field.kind == FieldKind::Flag && number != 0 && number != 1;
    const bool state_outside = field.kind == FieldKind::CheckState && (number < 0 || number > 2);
    if (flag_outside) {
      warnings_.push_back(where(field) + " holds " + std::to_string(number) +
                          ", which the program takes as 0; build takes only 1 or 0");
    }
    if (state_outside) {
      warnings_.push_back(where(field) + " holds " + std::to_string(number) +
                          ", which is no check state (the box keeps its own); build takes only "
                          "0, 1 or 2");
    }
    return {std::to_string(number), {}};
  }

  // The reserved bytes that are not zero, in comments, with a warning.
  std::vector<std::string> reserved_notes() {
    std::vector<std::string> notes;
    for (const shell::CustomReservedBytes& reserved : shell::kCustomReservedBytes) {
      const auto bytes = image_.subspan(reserved.offset, reserved.width);
      if (std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; })) continue;
      const std::string range = std::to_string(reserved.offset) + " to " +
                                std::to_string(reserved.offset + reserved.width - 1);
      warnings_.push_back("the reserved bytes at offsets " + range +
                          " are not all zero; the program does not read them and build writes "
                          "zeros");
      notes.push_back("Reserved bytes " + range + " (not read by the program):");
      const auto lines = hex_lines(bytes, reserved.offset);
      notes.insert(notes.end(), lines.begin(), lines.end());
    }
    return notes;
  }

  std::vector<std::string>& warnings() { return warnings_; }

 private:
  IniValue text_value(const CustomField& field) {
    const std::string& bytes = record_.*field.text;
    if (auto text = writable_text(bytes, page_)) return {*std::move(text), {}};
    // Shown as the window would show it; the bytes themselves go into a comment.
    const shell::CustomTextField& layout = shell::custom_text_field(field.text);
    const auto shown = shell::custom_text_shown(record_, layout, page_);
    warnings_.push_back(
        where(field) + " holds bytes build does not write (NUL or control bytes, leading " +
        "spaces, or bytes " + code_page_name(page_) + " does not read back the same); shown " +
        (shown ? "as the window shows it" : "empty, as the window keeps its built-in text"));
    const size_t end = bytes.find_last_not_of(' ');
    const auto field_bytes = std::span<const uint8_t>(image_).subspan(
        layout.offset, end == std::string::npos ? 0 : end + 1);
    IniValue value{shown.value_or(""), {"In the file (before the padding spaces):"}};
    const auto lines = hex_lines(field_bytes, layout.offset);
    value.notes.insert(value.notes.end(), lines.begin(), lines.end());
    // What is shown must still build: a text the window shows may hold what build refuses.
    std::string problem;
    if (!encode_text(value.value, page_, &problem)) value.value.clear();
    return value;
  }

  std::span<const uint8_t, CustomRecord::kSize> image_;
  CustomRecord record_;
  platform::CodePage page_;
  std::vector<std::string> warnings_;
};

}  // namespace

std::vector<uint8_t> record_bytes(std::span<const uint8_t> file) {
  std::vector<uint8_t> image(file.begin(),
                             file.begin() + std::min(file.size(), CustomRecord::kSize));
  image.resize(CustomRecord::kSize, 0);
  return image;
}

ShowResult show_custom(std::span<const uint8_t> file, platform::CodePage page) {
  const std::vector<uint8_t> image = record_bytes(file);
  Shower shower(std::span<const uint8_t, CustomRecord::kSize>(image.data(), CustomRecord::kSize),
                page);
  std::vector<std::string> notes;
  if (file.size() != CustomRecord::kSize) {
    const std::string size = "The file has " + std::to_string(file.size()) + " bytes, not " +
                             std::to_string(CustomRecord::kSize);
    const std::string effect =
        file.size() < CustomRecord::kSize
            ? "; the program runs as built in with a file this short (the missing bytes are "
              "shown as zeros)"
            : "; the program reads the first " + std::to_string(CustomRecord::kSize) +
                  " and ignores the rest";
    shower.warnings().push_back(size + effect);
    notes.push_back(size + effect + ".");
  }
  const auto reserved = shower.reserved_notes();
  notes.insert(notes.end(), reserved.begin(), reserved.end());
  ShowResult result;
  result.ini =
      format_custom_ini([&shower](const CustomField& f) { return shower.value_of(f); }, notes);
  result.warnings = std::move(shower.warnings());
  return result;
}

}  // namespace nimbra::custom
