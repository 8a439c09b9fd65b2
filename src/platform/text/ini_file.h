// SPDX-License-Identifier: MIT
// A small INI reader and writer for the machine's own files (machine.ini, the phone book, the
// connections and restarts of its dial-up service): [sections] of "key = value" lines, ';' or
// '#' comments. Section and key names compare case-insensitively; order and case are kept as
// written. A section that appears more than once reads as one, with all its entries in order.
//
// Rewriting a file keeps what the program did not mean to change: every line read comes back
// as it was (comments, blank lines, lines the reader does not understand, repeated sections),
// apart from the key lines whose values were set and the sections that were removed.
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
    size_t line = 0;  // where the text holds it; 0 for an entry set since
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    size_t line = 0;  // where the text first named it
  };

  // Parses the text. A line that is neither a section, a key line, a comment nor blank is kept
  // and skipped, and reading goes on after it; `error` names the first such line, whose number
  // `error_line` gets (0 when there is none).
  static IniFile parse(std::string_view text, std::string* error = nullptr,
                       size_t* error_line = nullptr);
  std::string format() const;

  // The value a reader going down the file ends with: the last of repeated keys.
  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  std::string get_or(std::string_view section, std::string_view key,
                     std::string_view fallback) const;
  // Changes the value `get` reads, or adds the key after the section's last entry.
  void set(std::string_view section, std::string_view key, std::string_view value);
  // Removes the section (every part of it) with all its lines.
  void remove_section(std::string_view name);

  // The sections in the order they first appear.
  std::vector<Section> sections() const;
  std::optional<Section> section(std::string_view name) const;

 private:
  // One line as read, or one entry set since.
  struct Line {
    std::optional<Entry> entry;      // the entry it holds
    std::optional<std::string> raw;  // its text as read, while it stands unchanged
  };
  // A section header and the lines under it, up to the next header.
  struct Part {
    std::string name;
    std::optional<std::string> header;  // as read
    std::vector<Line> lines;
    size_t line = 0;  // the header's line as read
  };

  std::vector<std::string> preamble_;  // lines before the first header
  std::vector<Part> parts_;
};

bool iequals(std::string_view a, std::string_view b);
std::string_view trim_blanks(std::string_view s);

}  // namespace nimbra::platform
