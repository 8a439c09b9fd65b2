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

IniFile IniFile::parse(std::string_view text, std::string* error) {
  IniFile ini;
  if (error) error->clear();
  size_t line_no = 0;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    const std::string_view raw = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    ++line_no;
    const std::string_view line = trim_blanks(raw);
    Section* current = ini.sections_.empty() ? nullptr : &ini.sections_.back();
    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      ini.sections_.push_back(Section{
          std::string(trim_blanks(line.substr(1, line.size() - 2))), {}, std::string(raw), {}});
      continue;
    }
    const bool note = line.empty() || line.front() == ';' || line.front() == '#';
    const size_t eq = line.find('=');
    if (!note && eq != std::string_view::npos && current != nullptr) {
      current->entries.push_back(Entry{std::string(trim_blanks(line.substr(0, eq))),
                                       std::string(trim_blanks(line.substr(eq + 1))),
                                       std::string(raw)});
      continue;
    }
    if (!note && error && error->empty()) {
      *error = "line " + std::to_string(line_no) + ": expected [section] or key = value";
    }
    if (current == nullptr) {
      ini.preamble_.emplace_back(raw);
    } else {
      current->other_lines.emplace_back(current->entries.size(), std::string(raw));
    }
  }
  return ini;
}

std::string IniFile::format() const {
  std::string out;
  for (const auto& line : preamble_) out += line + '\n';
  for (const auto& s : sections_) {
    if (s.header) {
      out += *s.header + '\n';
    } else {
      if (!out.empty() && !out.ends_with("\n\n")) out += '\n';
      out += '[' + s.name + "]\n";
    }
    auto other = s.other_lines.begin();
    for (size_t i = 0; i < s.entries.size(); ++i) {
      for (; other != s.other_lines.end() && other->first <= i; ++other)
        out += other->second + '\n';
      const Entry& e = s.entries[i];
      out += e.line ? *e.line + '\n' : e.key + " = " + e.value + '\n';
    }
    for (; other != s.other_lines.end(); ++other) out += other->second + '\n';
  }
  return out;
}

const IniFile::Section* IniFile::section(std::string_view name) const {
  const auto it = std::find_if(sections_.begin(), sections_.end(),
                               [&](const Section& s) { return iequals(s.name, name); });
  return it == sections_.end() ? nullptr : &*it;
}

std::optional<std::string> IniFile::get(std::string_view section_name, std::string_view key) const {
  for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
    if (!iequals(s->name, section_name)) continue;
    for (auto e = s->entries.rbegin(); e != s->entries.rend(); ++e) {
      if (iequals(e->key, key)) return e->value;
    }
  }
  return std::nullopt;
}

std::string IniFile::get_or(std::string_view section_name, std::string_view key,
                            std::string_view fallback) const {
  return get(section_name, key).value_or(std::string(fallback));
}

void IniFile::set(std::string_view section_name, std::string_view key, std::string_view value) {
  Section* last = nullptr;
  for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
    if (!iequals(s->name, section_name)) continue;
    if (!last) last = &*s;
    for (auto e = s->entries.rbegin(); e != s->entries.rend(); ++e) {
      if (!iequals(e->key, key)) continue;
      if (e->value != value) {
        e->value = value;
        e->line.reset();
      }
      return;
    }
  }
  if (!last) {
    sections_.push_back(Section{std::string(section_name), {}, std::nullopt, {}});
    last = &sections_.back();
  }
  // After the last entry, in front of the blank lines and comments that end the section.
  for (auto& [before, line] : last->other_lines) {
    if (before == last->entries.size()) ++before;
  }
  last->entries.push_back(Entry{std::string(key), std::string(value), std::nullopt});
}

void IniFile::remove_section(std::string_view name) {
  std::erase_if(sections_, [&](const Section& s) { return iequals(s.name, name); });
}

}  // namespace nimbra::platform
