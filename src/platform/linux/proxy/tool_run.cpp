// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/tool_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

extern char** environ;

namespace nimbra::lnx {

namespace {

constexpr size_t kMaxOutput = 64 * 1024;
constexpr auto kLimit = std::chrono::seconds(10);

}  // namespace

std::optional<std::string> run_tool(const std::vector<std::string>& argv) {
  if (argv.empty()) return std::nullopt;
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const bool started =
      ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ) == 0;
  ::posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (!started) {
    ::close(out[0]);
    return std::nullopt;
  }
  std::string output;
  bool in_time = true;
  const auto limit = std::chrono::steady_clock::now() + kLimit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        limit - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      in_time = false;
      break;
    }
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    if (output.size() < kMaxOutput)
      output.append(buffer, std::min<size_t>(n, kMaxOutput - output.size()));
  }
  ::close(out[0]);
  if (!in_time) ::kill(child, SIGKILL);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!in_time || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

}  // namespace nimbra::lnx
