// SPDX-License-Identifier: MIT
#include "platform/text/ini_file.h"

#include <algorithm>
#include <cctype>

namespace nimbra::platform {

bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view trim_blanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

IniFile IniFile::parse(std::string_view text, std::string* error, size_t* error_line) {
  IniFile ini;
  if (error) error->clear();
  if (error_line) *error_line = 0;
  size_t line_no = 0;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    const std::string raw(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    ++line_no;
    const std::string_view line = trim_blanks(raw);
    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      ini.parts_.push_back(
          Part{std::string(trim_blanks(line.substr(1, line.size() - 2))), raw, {}, line_no});
      continue;
    }
    const bool note = line.empty() || line.front() == ';' || line.front() == '#';
    const size_t eq = line.find('=');
    const bool entry = !note && eq != std::string_view::npos && !ini.parts_.empty();
    if (!note && !entry && error_line && *error_line == 0) *error_line = line_no;
    if (!note && !entry && error && error->empty()) {
      *error = "line " + std::to_string(line_no) + ": expected [section] or key = value";
    }
    if (ini.parts_.empty()) {
      ini.preamble_.push_back(raw);
      continue;
    }
    Line kept{std::nullopt, raw};
    if (entry) {
      kept.entry = Entry{std::string(trim_blanks(line.substr(0, eq))),
                         std::string(trim_blanks(line.substr(eq + 1))), line_no};
    }
    ini.parts_.back().lines.push_back(std::move(kept));
  }
  return ini;
}

std::string IniFile::format() const {
  std::string out;
  for (const auto& line : preamble_) out += line + '\n';
  for (const Part& part : parts_) {
    if (part.header) {
      out += *part.header + '\n';
    } else {
      if (!out.empty() && !out.ends_with("\n\n")) out += '\n';
      out += '[' + part.name + "]\n";
    }
    for (const Line& line : part.lines) {
      out += line.raw ? *line.raw + '\n' : line.entry->key + " = " + line.entry->value + '\n';
    }
  }
  return out;
}

std::vector<IniFile::Section> IniFile::sections() const {
  std::vector<Section> sections;
  for (const Part& part : parts_) {
    const auto known = std::find_if(sections.begin(), sections.end(),
                                    [&](const Section& s) { return iequals(s.name, part.name); });
    Section& section =
        known != sections.end() ? *known : sections.emplace_back(Section{part.name, {}, part.line});
    for (const Line& line : part.lines) {
      if (line.entry) section.entries.push_back(*line.entry);
    }
  }
  return sections;
}

std::optional<IniFile::Section> IniFile::section(std::string_view name) const {
  for (Section& section : sections()) {
    if (iequals(section.name, name)) return std::move(section);
  }
  return std::nullopt;
}

std::optional<std::string> IniFile::get(std::string_view section_name, std::string_view key) const {
  for (auto part = parts_.rbegin(); part != parts_.rend(); ++part) {
    if (!iequals(part->name, section_name)) continue;
    for (auto line = part->lines.rbegin(); line != part->lines.rend(); ++line) {
      if (line->entry && iequals(line->entry->key, key)) return line->entry->value;
    }
  }
  return std::nullopt;
}

std::string IniFile::get_or(std::string_view section_name, std::string_view key,
                            std::string_view fallback) const {
  return get(section_name, key).value_or(std::string(fallback));
}

void IniFile::set(std::string_view section_name, std::string_view key, std::string_view value) {
  Part* last = nullptr;
  for (auto part = parts_.rbegin(); part != parts_.rend(); ++part) {
    if (!iequals(part->name, section_name)) continue;
    if (!last) last = &*part;
    for (auto line = part->lines.rbegin(); line != part->lines.rend(); ++line) {
      if (!line->entry || !iequals(line->entry->key, key)) continue;
      if (line->entry->value != value) {
        line->entry->value = value;
        line->raw.reset();
      }
      return;
    }
  }
  if (!last) last = &parts_.emplace_back(Part{std::string(section_name), std::nullopt, {}, 0});
  // After the last entry, in front of the blank lines and comments that end the section.
  const auto last_entry = std::find_if(last->lines.rbegin(), last->lines.rend(),
                                       [](const Line& line) { return line.entry.has_value(); });
  last->lines.insert(last_entry.base(),
                     Line{Entry{std::string(key), std::string(value), 0}, std::nullopt});
}

void IniFile::remove_section(std::string_view name) {
  std::erase_if(parts_, [&](const Part& part) { return iequals(part.name, name); });
}

}  // namespace nimbra::platform
