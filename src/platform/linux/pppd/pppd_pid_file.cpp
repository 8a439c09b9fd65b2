// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/pppd_pid_file.h"

#include <signal.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <string>

namespace nimbra::lnx {

namespace {

constexpr std::streamsize kMaxPidLine = 32;
// The kernel keeps a process's name to this many characters.
constexpr size_t kCommLength = 15;
// pppd's command line is short; a longer one is cut here and read as far as it goes.
constexpr size_t kMaxCommandLine = 4096;

std::optional<pid_t> pid_in(const std::filesystem::path& file) {
  std::ifstream in(file);
  char line[kMaxPidLine + 1] = {};
  if (!in.getline(line, sizeof line)) return std::nullopt;
  const std::string_view text(line);
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
  if (error != std::errc() || end != text.data() + text.size() || pid <= 1) return std::nullopt;
  return pid;
}

// Whether the command line (arguments separated by NUL bytes) holds "call LINK".
bool calls_link(std::string_view cmdline, std::string_view link) {
  std::string_view previous;
  while (!cmdline.empty()) {
    const size_t end = cmdline.find('\0');
    const std::string_view argument = cmdline.substr(0, end);
    if (previous == "call" && argument == link) return true;
    previous = argument;
    if (end == std::string_view::npos) break;
    cmdline.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace

bool pppd_of_link_runs(pid_t pid, std::string_view link, std::string_view program_name) {
  if (kill(pid, 0) != 0 && errno != EPERM) return false;
  const std::string proc = "/proc/" + std::to_string(pid);
  std::ifstream comm(proc + "/comm");
  std::string name;
  if (!std::getline(comm, name) || name != program_name.substr(0, kCommLength)) return false;
  // A process that ended and is not yet reaped has an empty command line.
  std::ifstream cmdline_file(proc + "/cmdline", std::ios::binary);
  std::string cmdline(kMaxCommandLine, '\0');
  cmdline_file.read(cmdline.data(), static_cast<std::streamsize>(cmdline.size()));
  cmdline.resize(static_cast<size_t>(cmdline_file.gcount()));
  return calls_link(cmdline, link);
}

std::filesystem::path pppd_pid_file(const std::filesystem::path& run_dir, std::string_view link) {
  return run_dir / ("ppp-" + std::string(link) + ".pid");
}

std::optional<pid_t> live_pppd_of_link(const std::filesystem::path& run_dir, std::string_view link,
                                       std::string_view program_name) {
  const auto pid = pid_in(pppd_pid_file(run_dir, link));
  if (!pid || !pppd_of_link_runs(*pid, link, program_name)) return std::nullopt;
  return pid;
}

}  // namespace nimbra::lnx
