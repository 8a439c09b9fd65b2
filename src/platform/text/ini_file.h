// A small INI reader and writer for the machine's own description files (machine.ini and the
// phone book): [sections] of "key = value" lines, ';' or '#' comments. Section and key names
// compare case-insensitively; order and case are kept as written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::platform {

class IniFile {
 public:
  struct Entry {
    std::string key;
    std::string value;
    size_t line = 0;  // where the text held it, counting from 1; 0 when set, not read
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    size_t line = 0;  // where the text first named it
  };

  // Parses the text. Lines that are neither a section, a key line, a comment nor blank are
  // errors: `error` then names the first such line (also given as `error_line`) and the result
  // holds what came before it.
  static IniFile parse(std::string_view text, std::string* error = nullptr,
                       size_t* error_line = nullptr);
  std::string format() const;

  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  std::string get_or(std::string_view section, std::string_view key,
                     std::string_view fallback) const;
  void set(std::string_view section, std::string_view key, std::string_view value);

  const std::vector<Section>& sections() const { return sections_; }
  const Section* section(std::string_view name) const;

 private:
  Section& section_for_write(std::string_view name);
  std::vector<Section> sections_;
};

bool iequals(std::string_view a, std::string_view b);
std::string_view trim_blanks(std::string_view s);

}  // namespace nimbra::platform
