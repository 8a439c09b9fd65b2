// SPDX-License-Identifier: MIT
// The desktop's shell: the program the XDG MIME associations give a document's type, programs
// started detached, and URLs handed to xdg-open.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "platform/linux/desktop/xdg_apps.h"
#include "platform/shell.h"

namespace nimbra::lnx {

// Maps a Windows path the logic builds to the host file it stands for; nothing when none.
using HostPathOf = std::function<std::optional<std::filesystem::path>(std::string_view)>;

class LinuxShell : public platform::Shell {
 public:
  explicit LinuxShell(HostPathOf host_path_of,
                      XdgEnvironment environment = XdgEnvironment::from_process());

  // The result is the program's host path, for example "/usr/bin/browser".
  intptr_t FindExecutableA(std::string_view file, std::optional<std::string_view> directory,
                           std::span<char> result) override;
  bool program_exists(std::string_view path) override;
  bool start_program(std::string_view path) override;
  intptr_t ShellExecuteA(platform::Hwnd owner, std::optional<std::string_view> verb,
                         std::string_view file, std::optional<std::string_view> parameters,
                         std::optional<std::string_view> directory, int32_t show) override;

 private:
  std::optional<std::filesystem::path> existing_document(
      std::string_view file, std::optional<std::string_view> directory) const;

  HostPathOf host_path_of_;
  XdgEnvironment environment_;
};

}  // namespace nimbra::lnx
