// A small INI reader and writer for the machine's own files (machine.ini, the phone book, the
// connections and restarts of its dial-up service): [sections] of "key = value" lines, ';' or
// '#' comments. Section and key names compare case-insensitively; order and case are kept as
// written.
//
// Rewriting a file keeps what the program did not mean to change: every line read comes back
// as it was (comments, blank lines, lines the reader does not understand, repeated sections),
// apart from the key lines whose values were set and the sections that were removed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nimbra::platform {

class IniFile {
 public:
  struct Entry {
    std::string key;
    std::string value;
    std::optional<std::string> line;  // the line it was read from, while its value stays
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::optional<std::string> header;  // the header line it was read from
    // Lines that are no entry (blank, comments, not understood), each with the index of the
    // entry it stands in front of.
    std::vector<std::pair<size_t, std::string>> other_lines;
  };

  // Parses the text. A line that is neither a section, a key line, a comment nor blank is kept
  // and skipped, and reading goes on after it; `error` names the first such line.
  static IniFile parse(std::string_view text, std::string* error = nullptr);
  std::string format() const;

  // The value a reader going down the file ends with: the last of repeated keys.
  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  std::string get_or(std::string_view section, std::string_view key,
                     std::string_view fallback) const;
  // Changes the value `get` reads, or adds the key at the end of the section's entries.
  void set(std::string_view section, std::string_view key, std::string_view value);
  // Removes the section (every section of that name) with all its lines.
  void remove_section(std::string_view name);

  const std::vector<Section>& sections() const { return sections_; }
  // The first section of that name.
  const Section* section(std::string_view name) const;

 private:
  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<Section> sections_;
};

bool iequals(std::string_view a, std::string_view b);
std::string_view trim_blanks(std::string_view s);

}  // namespace nimbra::platform
