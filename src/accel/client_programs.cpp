// SPDX-License-Identifier: MIT
#include "accel/client_programs.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/text/ini_file.h"
#include "shell/messages.h"

namespace nimbra::accel {

namespace {

constexpr size_t kResultBufferSize = 256;

// Asks about a probe document created in `directory`; nothing when it cannot be created there.
std::optional<std::string> ask_with_probe(shell::AppContext& app, std::string_view directory,
                                          std::string_view probe_name) {
  if (directory.empty()) return std::nullopt;
  platform::Kernel& kernel = app.platform.kernel;
  const std::string probe = path_in_directory(directory, probe_name);
  // It is deleted right after the question: nothing to keep on the disk.
  if (!kernel.write_file(probe, {}, platform::FileAccess::Temporary)) return std::nullopt;
  std::string program = FindDefaultProgram(app.platform.shell, probe);
  kernel.delete_file(probe);
  return program;
}

std::string program_for_probe(shell::AppContext& app, std::string_view probe_name) {
  if (auto program = ask_with_probe(app, app.platform.kernel.program_directory(), probe_name)) {
    return *std::move(program);
  }
  return ask_with_probe(app, app.platform.kernel.temp_directory(), probe_name).value_or("");
}

}  // namespace

std::string FindDefaultProgram(platform::Shell& shell, std::string_view document) {
  // Blanks, not NULs: a call that writes nothing leaves a buffer without a NUL.
  std::array<char, kResultBufferSize> buffer;
  buffer.fill(' ');
  shell.FindExecutableA(document, std::nullopt, buffer);
  const auto nul = std::find(buffer.begin(), buffer.end(), '\0');
  if (nul == buffer.end()) return {};
  std::string program(buffer.begin(), nul);
  if (platform::iequals(program, document)) return {};
  return program;
}

std::string path_in_directory(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.ends_with('\\')) path += '\\';
  return path + std::string(name);
}

std::string FindBrowser(shell::AppContext& app) {
  return program_for_probe(app, "xxx.html");
}

std::string FindMailer(shell::AppContext& app) {
  std::string program = program_for_probe(app, "xxx.msg");
  if (program.empty()) program = program_for_probe(app, "xxx.eml");
  return program;
}

void find_client_programs(shell::AppContext& app) {
  app.BrowserPath = FindBrowser(app);
  app.MailerPath = FindMailer(app);
}

void launch_or_report(shell::AppContext& app, std::string_view path, int message_id) {
  platform::Shell& shell = app.platform.shell;
  if (!path.empty() && shell.program_exists(path) && shell.start_program(path)) return;
  shell::show_message(app, message_id);
}

}  // namespace nimbra::accel
