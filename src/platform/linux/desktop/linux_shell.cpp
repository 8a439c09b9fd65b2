// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/linux_shell.h"

#include "platform/text/ini_file.h"
#include "platform/linux/desktop/detached_launch.h"
#include "platform/linux/desktop/xdg_mime.h"
#include "platform/text/shell_text.h"

namespace nimbra::lnx {

LinuxShell::LinuxShell(HostPathOf host_path_of, XdgEnvironment environment)
    : host_path_of_(std::move(host_path_of)), environment_(std::move(environment)) {}

std::optional<std::filesystem::path> LinuxShell::existing_document(
    std::string_view file, std::optional<std::string_view> directory) const {
  const auto host = host_path_of_(platform::document_path(file, directory));
  std::error_code ec;
  if (!host || !std::filesystem::is_regular_file(*host, ec)) return std::nullopt;
  return host;
}

intptr_t LinuxShell::FindExecutableA(std::string_view file,
                                     std::optional<std::string_view> directory,
                                     std::span<char> result) {
  const auto document = existing_document(file, directory);
  if (!document) return platform::SE_ERR_FNF;
  const auto mime_dirs = environment_.mime_dirs();
  const auto type = mime_type_of(document->filename().string(), mime_dirs);
  if (!type) return platform::SE_ERR_NOASSOC;
  const auto program = default_program_for(*type, environment_);
  if (!program || !platform::copy_with_nul(program->string(), result)) {
    return platform::SE_ERR_NOASSOC;
  }
  return platform::kShellSuccess;
}

bool LinuxShell::program_exists(std::string_view path) {
  const std::filesystem::path program(path);
  std::error_code ec;
  return program.is_absolute() && std::filesystem::is_regular_file(program, ec);
}

bool LinuxShell::start_program(std::string_view path) {
  return program_exists(path) && start_detached({std::string(path)});
}

intptr_t LinuxShell::ShellExecuteA(platform::Hwnd, std::optional<std::string_view> verb,
                                   std::string_view file, std::optional<std::string_view>,
                                   std::optional<std::string_view> directory, int32_t) {
  if (!platform::is_open_verb(verb)) return platform::SE_ERR_NOASSOC;
  std::string target(file);
  if (!platform::is_url(file)) {
    const auto document = existing_document(file, directory);
    if (!document) return platform::SE_ERR_FNF;
    target = document->string();
  }
  const auto opener = resolve_program("xdg-open", environment_.path);
  if (!opener || !start_detached({opener->string(), target})) return platform::SE_ERR_NOASSOC;
  return platform::kShellSuccess;
}

}  // namespace nimbra::lnx
