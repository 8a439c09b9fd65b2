// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/pppd_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>

namespace nimbra::lnx {

namespace {

constexpr size_t kMaxLogRead = 8192;
// Descriptors are moved up here first, so that placing one never overwrites another.
constexpr int kHighFd = 16;

struct ChildFds {
  int line;
  int log;
  int password;
  int report;
};

// Runs in the child of fork, in a program that may have threads: async-signal-safe calls only.
[[noreturn]] void exec_in_child(char* const* argv, ChildFds fds) {
  setpgid(0, 0);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  // A log pipe whose reader is gone (the program ended) must not end the link.
  signal(SIGPIPE, SIG_IGN);
  const int line = fcntl(fds.line, F_DUPFD_CLOEXEC, kHighFd);
  const int log = fcntl(fds.log, F_DUPFD_CLOEXEC, kHighFd);
  const int password = fcntl(fds.password, F_DUPFD_CLOEXEC, kHighFd);
  // Moved up too: opened while descriptor 0 is free (a program started without standard input)
  // it would be 0, and placing the line there would close it.
  const int opened_null = open("/dev/null", O_RDWR | O_CLOEXEC);
  const int null_fd = opened_null >= 0 ? fcntl(opened_null, F_DUPFD_CLOEXEC, kHighFd) : -1;
  if (line >= 0 && log >= 0 && password >= 0 && null_fd >= 0 && dup2(line, STDIN_FILENO) >= 0 &&
      dup2(null_fd, STDOUT_FILENO) >= 0 && dup2(log, STDERR_FILENO) >= 0 &&
      dup2(log, kPppdLogFd) >= 0 && dup2(password, kPppdPasswordFd) >= 0) {
    close_range(kPppdPasswordFd + 1, ~0u, CLOSE_RANGE_CLOEXEC);
    execv(argv[0], argv);
  }
  const int error = errno;
  [[maybe_unused]] const ssize_t n = write(fds.report, &error, sizeof error);
  _exit(127);
}

void close_both(int (&fds)[2]) {
  if (fds[0] >= 0) close(fds[0]);
  if (fds[1] >= 0) close(fds[1]);
}

}  // namespace

std::unique_ptr<PppdProcess> PppdProcess::start(const std::vector<std::string>& argv, int line_fd,
                                                const std::string& password, int& error_number) {
  error_number = EINVAL;
  if (argv.empty() || argv.front().empty() || argv.front().front() != '/') return nullptr;
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  int log[2] = {-1, -1};
  int pass[2] = {-1, -1};
  int report[2] = {-1, -1};
  const auto give_up = [&](int error) {
    close_both(log);
    close_both(pass);
    close_both(report);
    error_number = error;
    return nullptr;
  };
  if (pipe2(log, O_CLOEXEC) != 0 || pipe2(pass, O_CLOEXEC) != 0 || pipe2(report, O_CLOEXEC) != 0) {
    return give_up(errno);
  }
  // A password fits a pipe's buffer many times over, so this never waits for the reader.
  if (password.size() > PIPE_BUF ||
      write(pass[1], password.data(), password.size()) != static_cast<ssize_t>(password.size())) {
    return give_up(EINVAL);
  }
  close(pass[1]);
  pass[1] = -1;

  const pid_t pid = fork();
  if (pid < 0) return give_up(errno);
  if (pid == 0) exec_in_child(args.data(), {line_fd, log[1], pass[0], report[1]});
  setpgid(pid, pid);  // also here, so the group exists before either side goes on
  close(log[1]);
  close(pass[0]);
  close(report[1]);
  int exec_error = 0;
  ssize_t n;
  while ((n = read(report[0], &exec_error, sizeof exec_error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  if (n > 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    close(log[0]);
    error_number = exec_error;
    return nullptr;
  }
  fcntl(log[0], F_SETFL, fcntl(log[0], F_GETFL) | O_NONBLOCK);
  error_number = 0;
  return std::unique_ptr<PppdProcess>(new PppdProcess(pid, log[0]));
}

PppdProcess::~PppdProcess() {
  if (log_fd_ >= 0) close(log_fd_);
}

std::string PppdProcess::read_log() {
  std::string text;
  std::array<char, 1024> chunk{};
  while (log_fd_ >= 0 && text.size() < kMaxLogRead) {
    const ssize_t n = read(log_fd_, chunk.data(), chunk.size());
    if (n > 0) {
      text.append(chunk.data(), static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      if (n == 0) {  // pppd closed its end: it has ended
        close(log_fd_);
        log_fd_ = -1;
      }
      break;
    }
  }
  return text;
}

std::optional<int> PppdProcess::exit_status() {
  if (status_) return status_;
  int status = 0;
  pid_t got;
  while ((got = waitpid(pid_, &status, WNOHANG)) < 0 && errno == EINTR) {
  }
  if (got == pid_) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  } else if (got < 0) {
    status_ = 128 + SIGKILL;  // no longer our child to wait for
  }
  return status_;
}

StopOutcome PppdProcess::stop(StopTiming timing, const std::function<void()>& drop_dtr) {
  const StopOutcome outcome =
      stop_pppd([this](int signal) { kill(-pid_, signal); },
                [this] { return exit_status().has_value(); }, drop_dtr, timing);
  if (!exit_status()) status_ = 128 + SIGKILL;  // held by the kernel; it ends when it can
  return outcome;
}

}  // namespace nimbra::lnx
