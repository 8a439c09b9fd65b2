#include "platform/linux/xdg_apps.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>

#include "platform/file_io.h"
#include "platform/ini_file.h"
#include "platform/linux/exec_line.h"

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
  // A line the reader does not understand ends the file: what came before still counts.
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

std::optional<std::filesystem::path> program_of_id(std::string_view id, const XdgEnvironment& env) {
  const auto entry = find_desktop_entry(id, env);
  if (!entry) return std::nullopt;
  const auto program = desktop_entry_program(*entry);
  if (!program) return std::nullopt;
  return resolve_program(*program, env.path);
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
  std::vector<std::filesystem::path> dirs = env.config_dirs;
  for (const auto& dir : env.data_dirs) dirs.push_back(dir / "applications");
  std::vector<std::filesystem::path> lists;
  for (const auto& dir : dirs) {
    for (const auto& desktop : env.desktops) lists.push_back(dir / (desktop + "-mimeapps.list"));
    lists.push_back(dir / "mimeapps.list");
  }
  return lists;
}

std::optional<std::filesystem::path> find_desktop_entry(std::string_view id,
                                                        const XdgEnvironment& env) {
  if (!valid_desktop_id(id)) return std::nullopt;
  const auto paths = desktop_id_paths(id);
  for (const auto& dir : env.data_dirs) {
    for (const auto& relative : paths) {
      const auto file = dir / "applications" / relative;
      std::error_code ec;
      if (std::filesystem::is_regular_file(file, ec)) return file;
    }
  }
  return std::nullopt;
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
  std::vector<platform::IniFile> lists;
  for (const auto& file : mimeapps_lists(env)) {
    if (auto ini = read_ini(file, kMaxListBytes)) lists.push_back(std::move(*ini));
  }
  for (const std::string_view group : {"Default Applications", "Added Associations"}) {
    for (const auto& list : lists) {
      const auto ids = list.get(group, mime_type);
      if (!ids) continue;
      for (const auto& id : split(*ids, ';')) {
        if (auto program = program_of_id(platform::trim_blanks(id), env)) return program;
      }
    }
  }
  return std::nullopt;
}

}  // namespace nimbra::lnx
