// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/xdg_apps.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>
#include <set>

#include "platform/host/file_io.h"
#include "platform/linux/desktop/desktop_entry_scan.h"
#include "platform/linux/desktop/exec_line.h"
#include "platform/text/ini_file.h"

namespace nimbra::lnx {

namespace {

constexpr size_t kMaxListBytes = 1 << 20;
constexpr size_t kMaxEntryBytes = 1 << 20;
// A desktop id with more dashes is only looked for under its own name: each dash doubles the
// number of places its file may be.
constexpr size_t kMaxIdDashes = 8;

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(separator, start), text.size());
    if (end > start) parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::vector<std::filesystem::path> absolute_dirs(const std::vector<std::string>& dirs) {
  std::vector<std::filesystem::path> out;
  for (const auto& dir : dirs) {
    if (std::filesystem::path(dir).is_absolute()) out.emplace_back(dir);
  }
  return out;
}

std::string variable_or(const XdgEnvironment::Getenv& getenv, const char* name,
                        std::string fallback) {
  auto value = getenv(name);
  return value && !value->empty() ? std::move(*value) : std::move(fallback);
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::optional<platform::IniFile> read_ini(const std::filesystem::path& file, size_t max_bytes) {
  const auto text = platform::read_text_file(file, max_bytes);
  if (!text) return std::nullopt;
  // A line the reader does not understand is skipped: the lines around it still count.
  return platform::IniFile::parse(*text);
}

bool valid_desktop_id(std::string_view id) {
  constexpr std::string_view kSuffix = ".desktop";
  return id.size() > kSuffix.size() && id.ends_with(kSuffix) && id.front() != '.' &&
         id.find('/') == std::string_view::npos && id.find('\0') == std::string_view::npos;
}

// Every relative path desktop id `id` may have: each dash is either itself or a folder break.
std::vector<std::string> desktop_id_paths(std::string_view id) {
  std::vector<size_t> dashes;
  for (size_t i = 0; i < id.size(); ++i) {
    if (id[i] == '-') dashes.push_back(i);
  }
  if (dashes.size() > kMaxIdDashes) return {std::string(id)};
  std::vector<std::string> paths;
  for (size_t mask = 0; mask < (size_t{1} << dashes.size()); ++mask) {
    std::string path(id);
    for (size_t bit = 0; bit < dashes.size(); ++bit) {
      if (mask & (size_t{1} << bit)) path[dashes[bit]] = '/';
    }
    paths.push_back(std::move(path));
  }
  return paths;
}

bool is_executable_file(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec) && ::access(file.c_str(), X_OK) == 0;
}

// An association list and the data directories whose desktop entries it changes: a list in a
// configuration directory changes all, one in a data directory that directory's and later ones.
struct AssociationList {
  std::filesystem::path file;
  bool desktop_specific = false;
  size_t reach = 0;
};

std::vector<AssociationList> association_lists(const XdgEnvironment& env) {
  std::vector<std::pair<std::filesystem::path, size_t>> dirs;
  for (const auto& dir : env.config_dirs) dirs.emplace_back(dir, 0);
  for (size_t i = 0; i < env.data_dirs.size(); ++i) {
    dirs.emplace_back(env.data_dirs[i] / "applications", i);
  }
  std::vector<AssociationList> lists;
  for (const auto& [dir, reach] : dirs) {
    for (const auto& desktop : env.desktops) {
      lists.push_back({dir / (desktop + "-mimeapps.list"), true, reach});
    }
    lists.push_back({dir / "mimeapps.list", false, reach});
  }
  return lists;
}

// The desktop ids a group lists for the type, in order.
std::vector<std::string> listed_ids(const platform::IniFile& ini, std::string_view group,
                                    std::string_view mime_type) {
  std::vector<std::string> ids;
  if (const auto value = ini.get(group, mime_type)) {
    for (const auto& id : split(*value, ';')) {
      const auto trimmed = platform::trim_blanks(id);
      if (!trimmed.empty()) ids.emplace_back(trimmed);
    }
  }
  return ids;
}

struct EntryLocation {
  std::filesystem::path file;
  size_t data_dir = 0;
};

std::optional<EntryLocation> locate_entry(std::string_view id, const XdgEnvironment& env) {
  if (!valid_desktop_id(id)) return std::nullopt;
  const auto paths = desktop_id_paths(id);
  for (size_t dir = 0; dir < env.data_dirs.size(); ++dir) {
    for (const auto& relative : paths) {
      const auto file = env.data_dirs[dir] / "applications" / relative;
      std::error_code ec;
      if (std::filesystem::is_regular_file(file, ec)) return EntryLocation{file, dir};
    }
  }
  return std::nullopt;
}

// What the lookup needs of an installed entry.
struct EntryFacts {
  std::vector<std::string> mime_types;  // in lower case
  std::optional<std::filesystem::path> program;
};

EntryFacts read_entry(const std::filesystem::path& file, const XdgEnvironment& env) {
  EntryFacts facts;
  const auto ini = read_ini(file, kMaxEntryBytes);
  if (!ini) return facts;
  constexpr std::string_view kGroup = "Desktop Entry";
  for (auto& type : split(ini->get_or(kGroup, "MimeType", ""), ';')) {
    facts.mime_types.push_back(lower(std::string(platform::trim_blanks(type))));
  }
  // An entry whose TryExec program is not installed is not installed itself.
  if (const auto try_exec = ini->get(kGroup, "TryExec");
      try_exec && !resolve_program(*try_exec, env.path)) {
    return facts;
  }
  if (const auto program = desktop_entry_program(file)) {
    facts.program = resolve_program(*program, env.path);
  }
  return facts;
}

// The associations of one MIME type that the lists add and remove, in precedence order.
class Associations {
 public:
  Associations(std::string_view mime_type, const XdgEnvironment& env) {
    const auto files = association_lists(env);
    for (size_t index = 0; index < files.size(); ++index) {
      const auto ini = read_ini(files[index].file, kMaxListBytes);
      if (!ini) continue;
      const size_t reach = files[index].reach;
      for (auto& id : listed_ids(*ini, "Default Applications", mime_type)) {
        defaults.push_back({std::move(id), index, reach});
      }
      // Added and removed associations belong to the plain lists only.
      if (files[index].desktop_specific) continue;
      for (auto& id : listed_ids(*ini, "Added Associations", mime_type)) {
        added.push_back({std::move(id), index, reach});
      }
      for (auto& id : listed_ids(*ini, "Removed Associations", mime_type)) {
        removed_.push_back({std::move(id), index, reach});
      }
    }
  }

  struct Listing {
    std::string id;
    size_t list;   // position of its list in precedence order
    size_t reach;  // first data directory whose entries the listing changes
  };
  std::vector<Listing> defaults;
  std::vector<Listing> added;

  // Whether a list before `before_list` removes the entry found in data directory `data_dir`.
  bool removed(std::string_view id, size_t data_dir, size_t before_list) const {
    return std::any_of(removed_.begin(), removed_.end(), [&](const Listing& r) {
      return r.id == id && r.list < before_list && r.reach <= data_dir;
    });
  }

  // The entry supports the type: by an addition no earlier list removed, or by its own MimeType
  // when no list removed it.
  bool associated(std::string_view id, size_t data_dir, const EntryFacts& facts,
                  std::string_view mime_type) const {
    const bool by_addition = std::any_of(added.begin(), added.end(), [&](const Listing& a) {
      return a.id == id && a.reach <= data_dir && !removed(id, data_dir, a.list);
    });
    if (by_addition) return true;
    return std::find(facts.mime_types.begin(), facts.mime_types.end(), mime_type) !=
               facts.mime_types.end() &&
           !removed(id, data_dir, std::numeric_limits<size_t>::max());
  }

 private:
  std::vector<Listing> removed_;
};

// The installed entries of one data directory in the order its MIME cache gives for the type,
// then the others by id.
std::vector<InstalledEntry> entries_in_cache_order(const std::filesystem::path& data_dir,
                                                   std::string_view mime_type) {
  std::vector<InstalledEntry> entries = installed_entries(data_dir);
  const auto cache = read_ini(data_dir / "applications" / "mimeinfo.cache", kMaxListBytes);
  if (!cache) return entries;
  const auto cached = listed_ids(*cache, "MIME Cache", mime_type);
  const auto rank = [&cached](const InstalledEntry& e) {
    return std::find(cached.begin(), cached.end(), e.id) - cached.begin();
  };
  std::stable_sort(
      entries.begin(), entries.end(),
      [&](const InstalledEntry& a, const InstalledEntry& b) { return rank(a) < rank(b); });
  return entries;
}

}  // namespace

XdgEnvironment XdgEnvironment::from(const Getenv& getenv) {
  const std::string home = getenv("HOME").value_or("");
  XdgEnvironment env;
  std::vector<std::string> config{variable_or(getenv, "XDG_CONFIG_HOME", home + "/.config")};
  for (auto& dir : split(variable_or(getenv, "XDG_CONFIG_DIRS", "/etc/xdg"), ':')) {
    config.push_back(std::move(dir));
  }
  std::vector<std::string> data{variable_or(getenv, "XDG_DATA_HOME", home + "/.local/share")};
  for (auto& dir :
       split(variable_or(getenv, "XDG_DATA_DIRS", "/usr/local/share:/usr/share"), ':')) {
    data.push_back(std::move(dir));
  }
  env.config_dirs = absolute_dirs(config);
  env.data_dirs = absolute_dirs(data);
  for (auto& desktop : split(getenv("XDG_CURRENT_DESKTOP").value_or(""), ':')) {
    env.desktops.push_back(lower(std::move(desktop)));
  }
  env.path = absolute_dirs(split(getenv("PATH").value_or(""), ':'));
  return env;
}

XdgEnvironment XdgEnvironment::from_process() {
  return from([](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  });
}

std::vector<std::filesystem::path> XdgEnvironment::mime_dirs() const {
  std::vector<std::filesystem::path> dirs;
  for (const auto& dir : data_dirs) dirs.push_back(dir / "mime");
  return dirs;
}

std::vector<std::filesystem::path> mimeapps_lists(const XdgEnvironment& env) {
  std::vector<std::filesystem::path> lists;
  for (auto& list : association_lists(env)) lists.push_back(std::move(list.file));
  return lists;
}

std::optional<std::filesystem::path> find_desktop_entry(std::string_view id,
                                                        const XdgEnvironment& env) {
  auto location = locate_entry(id, env);
  if (!location) return std::nullopt;
  return std::move(location->file);
}

std::optional<std::string> desktop_entry_program(const std::filesystem::path& entry) {
  const auto ini = read_ini(entry, kMaxEntryBytes);
  if (!ini) return std::nullopt;
  constexpr std::string_view kGroup = "Desktop Entry";
  if (platform::iequals(ini->get_or(kGroup, "Hidden", "false"), "true")) return std::nullopt;
  const auto exec = ini->get(kGroup, "Exec");
  if (!exec) return std::nullopt;
  const auto args = split_exec_line(*exec);
  if (!args || args->empty() || args->front().empty()) return std::nullopt;
  return args->front();
}

std::optional<std::filesystem::path> resolve_program(
    std::string_view program, const std::vector<std::filesystem::path>& path) {
  const std::filesystem::path name(program);
  if (name.is_absolute()) return is_executable_file(name) ? std::optional(name) : std::nullopt;
  if (program.find('/') != std::string_view::npos) return std::nullopt;
  for (const auto& dir : path) {
    if (is_executable_file(dir / name)) return dir / name;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> default_program_for(std::string_view mime_type,
                                                         const XdgEnvironment& env) {
  const std::string type = lower(std::string(mime_type));
  const Associations associations(type, env);
  // The program of a listed entry that is installed and runs a program; a default needs no
  // association with the type, as the user chose it.
  const auto program_of = [&](const std::string& id,
                              bool must_support) -> std::optional<std::filesystem::path> {
    const auto location = locate_entry(id, env);
    if (!location) return std::nullopt;
    EntryFacts facts = read_entry(location->file, env);
    if (must_support && !associations.associated(id, location->data_dir, facts, type)) {
      return std::nullopt;
    }
    return facts.program;
  };
  for (const auto& listing : associations.defaults) {
    if (auto program = program_of(listing.id, false)) return program;
  }
  // No default: the most preferred application for the type, the added associations first.
  for (const auto& listing : associations.added) {
    if (auto program = program_of(listing.id, true)) return program;
  }
  std::set<std::string> shadowed;  // an id is the entry of the first directory that has it
  for (size_t dir = 0; dir < env.data_dirs.size(); ++dir) {
    for (const auto& entry : entries_in_cache_order(env.data_dirs[dir], type)) {
      if (!shadowed.insert(entry.id).second) continue;
      const EntryFacts facts = read_entry(entry.file, env);
      if (facts.program && associations.associated(entry.id, dir, facts, type)) {
        return facts.program;
      }
    }
  }
  return std::nullopt;
}

}  // namespace nimbra::lnx
