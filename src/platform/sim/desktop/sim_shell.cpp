// SPDX-License-Identifier: MIT
#include "platform/sim/desktop/sim_shell.h"

#include "platform/host/file_io.h"
#include "platform/text/ini_file.h"
#include "platform/text/shell_text.h"

namespace nimbra::sim {

SimShell::SimShell(const MachineConfig& config, MachineKernel& kernel)
    : config_(config), kernel_(kernel) {}

std::variant<std::string, intptr_t> SimShell::association_of(const std::string& document) {
  if (!kernel_.file_exists(document)) return platform::SE_ERR_FNF;
  const std::string_view extension = platform::file_extension(document);
  if (extension.empty()) return platform::SE_ERR_NOASSOC;
  std::string program = config_.ini.get_or("shell", extension, "");
  if (program.empty()) return platform::SE_ERR_NOASSOC;
  return program;
}

intptr_t SimShell::FindExecutableA(std::string_view file, std::optional<std::string_view> directory,
                                   std::span<char> result) {
  const auto program = association_of(platform::document_path(file, directory));
  if (const auto* failure = std::get_if<intptr_t>(&program)) return *failure;
  if (!platform::copy_with_nul(std::get<std::string>(program), result)) {
    return platform::SE_ERR_NOASSOC;
  }
  return platform::kShellSuccess;
}

bool SimShell::program_exists(std::string_view path) {
  return kernel_.file_exists(path);
}

bool SimShell::start_program(std::string_view path) {
  if (!program_exists(path)) return false;
  actions_.push_back({ShellAction::Kind::StartProgram, std::string(path)});
  return true;
}

intptr_t SimShell::ShellExecuteA(platform::Hwnd, std::optional<std::string_view> verb,
                                 std::string_view file, std::optional<std::string_view>,
                                 std::optional<std::string_view> directory, int32_t) {
  if (!platform::is_open_verb(verb)) return platform::SE_ERR_NOASSOC;
  std::string target(file);
  if (!platform::is_url(file)) {
    target = platform::document_path(file, directory);
    const auto program = association_of(target);
    if (const auto* failure = std::get_if<intptr_t>(&program)) return *failure;
  }
  actions_.push_back({ShellAction::Kind::Open, std::move(target)});
  return platform::kShellSuccess;
}

bool install_file(MachineKernel& kernel, std::string_view path) {
  const auto host = kernel.host_path(path);
  if (!host) return false;
  std::error_code ec;
  std::filesystem::create_directories(host->parent_path(), ec);
  return !ec && platform::write_file_atomic(*host, {}, 0755);
}

}  // namespace nimbra::sim
