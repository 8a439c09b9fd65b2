// SPDX-License-Identifier: MIT
#include "program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <thread>

extern char** environ;

namespace nimbra::custom {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(100);
constexpr auto kTermGrace = std::chrono::seconds(3);

std::vector<char*> c_strings(const std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (const std::string& s : strings) out.push_back(const_cast<char*>(s.c_str()));
  out.push_back(nullptr);
  return out;
}

// Waits for the child until `deadline`; its wait status, or nothing when it still runs.
std::optional<int> wait_until(pid_t child, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) return status;
    if (done < 0 && errno != EINTR) return std::nullopt;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kPoll);
  }
}

}  // namespace

std::optional<int> run_program(const ProgramRun& run) {
  if (run.argv.empty() || !run.argv.front().starts_with('/')) return std::nullopt;
  const auto argv = c_strings(run.argv);
  const auto env = c_strings(run.env);
  const pid_t child = fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    // A group of its own, so that whatever it starts ends with it.
    setpgid(0, 0);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) dup2(null_fd, STDOUT_FILENO);
    execve(argv[0], argv.data(), env.data());
    _exit(127);
  }
  setpgid(child, child);
  const auto start = std::chrono::steady_clock::now();
  auto status = wait_until(child, start + run.limit);
  if (!status) {
    kill(-child, SIGTERM);
    status = wait_until(child, std::chrono::steady_clock::now() + kTermGrace);
    if (!status) {
      kill(-child, SIGKILL);
      int ignored = 0;
      while (waitpid(child, &ignored, 0) < 0 && errno == EINTR) {
      }
    }
    return std::nullopt;
  }
  if (!WIFEXITED(*status) || WEXITSTATUS(*status) == 127) return std::nullopt;
  return WEXITSTATUS(*status);
}

std::vector<std::string> environment_with(const std::vector<std::string>& changes) {
  std::vector<std::string> env = changes;
  const auto name_of = [](std::string_view entry) { return entry.substr(0, entry.find('=')); };
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    const bool replaced = std::any_of(changes.begin(), changes.end(), [&](const std::string& c) {
      return name_of(c) == name_of(entry);
    });
    if (!replaced) env.emplace_back(entry);
  }
  return env;
}

std::optional<std::string> find_in_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/bin:/bin";
  while (!dirs.empty()) {
    const size_t colon = dirs.find(':');
    const std::string_view dir = dirs.substr(0, colon);
    dirs = colon == std::string_view::npos ? std::string_view{} : dirs.substr(colon + 1);
    if (dir.empty() || dir.front() != '/') continue;
    const std::string candidate = std::string(dir) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

}  // namespace nimbra::custom
