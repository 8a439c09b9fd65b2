// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/xdg_mime.h"

#include <array>
#include <charconv>

#include "platform/host/file_io.h"
#include "platform/text/ini_file.h"

namespace nimbra::lnx {

namespace {

constexpr size_t kMaxGlobFileBytes = 4 << 20;

struct GlobMatch {
  int weight = -1;
  size_t glob_length = 0;
  std::string type;
};

struct BuiltIn {
  std::string_view extension;
  std::string_view type;
};

constexpr std::array<BuiltIn, 4> kBuiltIn{{
    {".html", "text/html"},
    {".htm", "text/html"},
    {".msg", "application/vnd.ms-outlook"},
    {".eml", "message/rfc822"},
}};

// A line's first four colon-separated fields (globs2 has at most four), without allocating:
// the glob lists run to thousands of lines.
struct Fields {
  std::array<std::string_view, 4> at;
  size_t count = 0;
};

Fields split_fields(std::string_view line) {
  Fields fields;
  size_t start = 0;
  while (fields.count < fields.at.size()) {
    const size_t colon = line.find(':', start);
    fields.at[fields.count++] = line.substr(start, colon - start);
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  return fields;
}

// Only suffix globs ("*.html") take part: the program asks about extensions alone.
bool suffix_glob_matches(std::string_view glob, std::string_view name, bool case_sensitive) {
  if (glob.size() < 2 || glob[0] != '*' ||
      glob.substr(1).find_first_of("*?[") != std::string_view::npos) {
    return false;
  }
  const std::string_view suffix = glob.substr(1);
  if (name.size() < suffix.size()) return false;
  const std::string_view tail = name.substr(name.size() - suffix.size());
  return case_sensitive ? tail == suffix : platform::iequals(tail, suffix);
}

// globs2 lines are "weight:type:glob[:flags]", globs lines "type:glob" with weight 50.
void match_line(std::string_view line, bool weighted, std::string_view name, GlobMatch& best) {
  if (line.empty() || line.front() == '#') return;
  const Fields split = split_fields(line);
  const auto& fields = split.at;
  if (split.count < (weighted ? 3u : 2u)) return;
  int weight = 50;
  size_t at = 0;
  if (weighted) {
    const auto [end, ec] =
        std::from_chars(fields[0].data(), fields[0].data() + fields[0].size(), weight);
    if (ec != std::errc() || end != fields[0].data() + fields[0].size()) return;
    at = 1;
  }
  const std::string_view type = fields[at];
  const std::string_view glob = fields[at + 1];
  const bool case_sensitive =
      weighted && split.count > 3 && fields[3].find("cs") != std::string_view::npos;
  if (!suffix_glob_matches(glob, name, case_sensitive)) return;
  if (weight > best.weight || (weight == best.weight && glob.size() > best.glob_length)) {
    best = {weight, glob.size(), std::string(type)};
  }
}

std::optional<std::string> match_in_dir(const std::filesystem::path& dir, std::string_view name) {
  for (const bool weighted : {true, false}) {
    const auto text =
        platform::read_text_file(dir / (weighted ? "globs2" : "globs"), kMaxGlobFileBytes);
    if (!text) continue;
    GlobMatch best;
    std::string_view rest = *text;
    while (!rest.empty()) {
      const size_t eol = rest.find('\n');
      match_line(platform::trim_blanks(rest.substr(0, eol)), weighted, name, best);
      rest = eol == std::string_view::npos ? std::string_view{} : rest.substr(eol + 1);
    }
    return best.weight < 0 ? std::nullopt : std::optional(best.type);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> mime_type_of(std::string_view file_name,
                                        std::span<const std::filesystem::path> mime_dirs) {
  for (const auto& dir : mime_dirs) {
    if (auto type = match_in_dir(dir, file_name)) return type;
  }
  for (const auto& row : kBuiltIn) {
    if (suffix_glob_matches(std::string("*") + std::string(row.extension), file_name, false)) {
      return std::string(row.type);
    }
  }
  return std::nullopt;
}

}  // namespace nimbra::lnx
