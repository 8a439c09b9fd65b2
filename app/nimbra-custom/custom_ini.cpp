// SPDX-License-Identifier: MIT
#include "custom_ini.h"

#include <string_view>

namespace nimbra::custom {

namespace {

constexpr std::string_view kFileHelp =
    "Nimbra's customisation file nimbra1.ssd as text; make the file with\n"
    "  nimbra-custom build THIS.ini -o nimbra1.ssd --language en|ja\n"
    "and put it in the Windows directory beside the program's other files.\n"
    "A value is what follows \"=\" on its line, without spaces at either end. A key left\n"
    "out keeps the value that leaves the window as built in, which the template shows.\n"
    "Texts are written in the machine's code page (en: Western, ja: Japanese) and padded\n"
    "with spaces; an empty text leaves the built-in one. Flags are 1 or 0. Comments are\n"
    "whole lines starting with \";\" or \"#\".";

void append_comment(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    out += "; ";
    out += text.substr(0, eol);
    out += '\n';
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
  }
}

std::string size_note(const CustomField& field) {
  const size_t width = shell::custom_text_field(field.text).width;
  return "At most " + std::to_string(width) + " bytes (a Japanese character takes one or two).";
}

}  // namespace

std::string format_custom_ini(const std::function<IniValue(const CustomField&)>& value_of,
                              std::span<const std::string> file_notes) {
  std::string out;
  append_comment(out, kFileHelp);
  for (const std::string& note : file_notes) append_comment(out, note);
  for (const CustomSection& section : custom_sections()) {
    out += '\n';
    append_comment(out, section.help);
    out += '[';
    out += section.name;
    out += "]\n";
    for (const CustomField& field : custom_fields()) {
      if (field.section != section.name) continue;
      append_comment(out, field.help);
      if (field.kind == FieldKind::Text) append_comment(out, size_note(field));
      const IniValue v = value_of(field);
      for (const std::string& note : v.notes) append_comment(out, note);
      out += field.key;
      out += v.value.empty() ? " =\n" : " = " + v.value + '\n';
    }
  }
  return out;
}

std::string custom_template() {
  return format_custom_ini([](const CustomField& field) {
    return IniValue{field.kind == FieldKind::Text ? "" : std::to_string(field.builtin), {}};
  });
}

}  // namespace nimbra::custom
