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

bool runs_as(pid_t pid, std::string_view program_name) {
  if (kill(pid, 0) != 0 && errno != EPERM) return false;
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  if (!std::getline(comm, name)) return false;
  return name == program_name.substr(0, kCommLength);
}

}  // namespace

std::filesystem::path pppd_pid_file(const std::filesystem::path& run_dir, std::string_view link) {
  return run_dir / ("ppp-" + std::string(link) + ".pid");
}

std::optional<pid_t> live_pppd_of_link(const std::filesystem::path& run_dir, std::string_view link,
                                       std::string_view program_name) {
  const auto pid = pid_in(pppd_pid_file(run_dir, link));
  if (!pid || !runs_as(*pid, program_name)) return std::nullopt;
  return pid;
}

}  // namespace nimbra::lnx
