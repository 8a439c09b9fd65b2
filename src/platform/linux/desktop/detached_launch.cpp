// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/detached_launch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace nimbra::lnx {

namespace {

// Runs in the grandchild, after fork in a process that may have threads: only calls that are
// safe there. Reports why the program could not be run, then ends.
[[noreturn]] void exec_in_grandchild(char* const* argv, int report_fd) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  const int null_fd = open("/dev/null", O_RDONLY);
  if (null_fd >= 0 && dup2(null_fd, STDIN_FILENO) >= 0) {
    if (null_fd != STDIN_FILENO) close(null_fd);
    // Nothing of ours leaks into the program; the report pipe closes itself on exec.
    close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);
    execv(argv[0], argv);
  }
  const int error = errno;
  [[maybe_unused]] const ssize_t n = write(report_fd, &error, sizeof error);
  _exit(127);
}

}  // namespace

bool start_detached(const std::vector<std::string>& argv) {
  if (argv.empty() || argv.front().empty() || argv.front().front() != '/') return false;
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t middle = fork();
  if (middle < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (middle == 0) {
    close(report[0]);
    if (setsid() < 0) _exit(127);
    const pid_t grandchild = fork();
    if (grandchild == 0) exec_in_grandchild(args.data(), report[1]);
    _exit(grandchild < 0 ? 127 : 0);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe reads end-of-file once the program runs; an exec failure sends its error first.
  int exec_error = 0;
  ssize_t n;
  while ((n = read(report[0], &exec_error, sizeof exec_error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

}  // namespace nimbra::lnx
