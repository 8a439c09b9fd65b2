// SPDX-License-Identifier: MIT
// The desktop's default application for a MIME type: the XDG MIME associations (mimeapps.list)
// and desktop entries, down to the full path of the program an entry runs.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::lnx {

// The directories the lookup reads, most important first.
struct XdgEnvironment {
  std::vector<std::filesystem::path> config_dirs;  // $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS
  std::vector<std::filesystem::path> data_dirs;    // $XDG_DATA_HOME, then $XDG_DATA_DIRS
  std::vector<std::string> desktops;               // $XDG_CURRENT_DESKTOP, in lower case
  std::vector<std::filesystem::path> path;         // $PATH

  using Getenv = std::function<std::optional<std::string>(const char* name)>;
  // Built from the variables `getenv` gives, with the XDG defaults for those unset or empty;
  // relative directories are ignored, as the XDG rules say.
  static XdgEnvironment from(const Getenv& getenv);
  static XdgEnvironment from_process();

  std::vector<std::filesystem::path> mime_dirs() const;
};

// The mimeapps.list files to read, in precedence order: per configuration and then data
// directory, the desktop-specific lists before the plain one.
std::vector<std::filesystem::path> mimeapps_lists(const XdgEnvironment& env);

// The file of desktop entry `id` ("org.example.Browser.desktop"; "kde-mail.desktop" may also be
// kde/mail.desktop) in the applications directories; nothing for a malformed id.
std::optional<std::filesystem::path> find_desktop_entry(std::string_view id,
                                                        const XdgEnvironment& env);

// The program a desktop entry runs: the first argument of its Exec line. Nothing when the entry
// is hidden, has no Exec line or a malformed one.
std::optional<std::string> desktop_entry_program(const std::filesystem::path& entry);

// A program name as a full path: an absolute one as it is, any other through `path` to the
// first executable file of that name.
std::optional<std::filesystem::path> resolve_program(
    std::string_view program, const std::vector<std::filesystem::path>& path);

// The default application's program for `mime_type`, as the XDG MIME-applications rules give
// it: the first installed entry of the [Default Applications] of the lists in precedence order;
// failing that, the most preferred entry that supports the type: the [Added Associations] in
// list order, then the installed entries whose MimeType lists it (data directories in order,
// each in its mimeinfo.cache order, then by id). [Removed Associations] take support away, for
// the lists after them and for the entries' own types; a list in a data directory changes only
// the entries of that directory and later ones. An entry counts only when it is not hidden, its
// TryExec program is installed and its Exec program resolves.
std::optional<std::filesystem::path> default_program_for(std::string_view mime_type,
                                                         const XdgEnvironment& env);

}  // namespace nimbra::lnx
