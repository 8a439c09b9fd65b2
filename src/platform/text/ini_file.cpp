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
  Section* current = nullptr;
  size_t line_no = 0;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    const std::string_view raw = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    ++line_no;
    const std::string_view line = trim_blanks(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = &ini.section_for_write(trim_blanks(line.substr(1, line.size() - 2)));
      if (current->line == 0) current->line = line_no;
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || current == nullptr) {
      if (error) {
        *error = "line " + std::to_string(line_no) + ": expected [section] or key = value";
      }
      if (error_line) *error_line = line_no;
      return ini;
    }
    current->entries.push_back(Entry{std::string(trim_blanks(line.substr(0, eq))),
                                     std::string(trim_blanks(line.substr(eq + 1))), line_no});
  }
  if (error) error->clear();
  if (error_line) *error_line = 0;
  return ini;
}

std::string IniFile::format() const {
  std::string out;
  for (const auto& s : sections_) {
    if (!out.empty()) out += '\n';
    out += '[' + s.name + "]\n";
    for (const auto& e : s.entries) out += e.key + " = " + e.value + '\n';
  }
  return out;
}

const IniFile::Section* IniFile::section(std::string_view name) const {
  const auto it = std::find_if(sections_.begin(), sections_.end(),
                               [&](const Section& s) { return iequals(s.name, name); });
  return it == sections_.end() ? nullptr : &*it;
}

IniFile::Section& IniFile::section_for_write(std::string_view name) {
  if (const Section* s = section(name)) return const_cast<Section&>(*s);
  sections_.push_back(Section{std::string(name), {}, 0});
  return sections_.back();
}

std::optional<std::string> IniFile::get(std::string_view section_name, std::string_view key) const {
  const Section* s = section(section_name);
  if (!s) return std::nullopt;
  // The last of repeated keys wins, as a reader going down the file would see it.
  for (auto it = s->entries.rbegin(); it != s->entries.rend(); ++it) {
    if (iequals(it->key, key)) return it->value;
  }
  return std::nullopt;
}

std::string IniFile::get_or(std::string_view section_name, std::string_view key,
                            std::string_view fallback) const {
  return get(section_name, key).value_or(std::string(fallback));
}

void IniFile::set(std::string_view section_name, std::string_view key, std::string_view value) {
  Section& s = section_for_write(section_name);
  for (auto& e : s.entries) {
    if (iequals(e.key, key)) {
      e.value = value;
      return;
    }
  }
  s.entries.push_back(Entry{std::string(key), std::string(value), 0});
}

}  // namespace nimbra::platform
