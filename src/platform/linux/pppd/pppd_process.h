// SPDX-License-Identifier: MIT
// pppd as a child of the program: started with an argument vector (never a shell) in a process
// group of its own, the dialled line as its standard input, its log and its standard error on
// one pipe (option errors at start-up go only to standard error) and the password on another
// pipe that it reads to the end (the passwordfd plugin). The child outlives the program, as a
// connection outlives the program that dialled it.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/pppd/pppd_stop.h"

namespace nimbra::lnx {

// The descriptor numbers pppd finds its log and its password on.
inline constexpr int kPppdLogFd = 3;
inline constexpr int kPppdPasswordFd = 4;

class PppdProcess {
 public:
  // Starts argv[0] (a full path). On failure nothing runs and `error_number` holds the errno of
  // the start (ENOENT for a program that is not there, EACCES for one the user may not run).
  static std::unique_ptr<PppdProcess> start(const std::vector<std::string>& argv, int line_fd,
                                            const std::string& password, int& error_number);
  ~PppdProcess();
  PppdProcess(const PppdProcess&) = delete;
  PppdProcess& operator=(const PppdProcess&) = delete;

  pid_t pid() const { return pid_; }

  // What pppd has logged since the last call (at most a few kilobytes); never waits.
  std::string read_log();

  // Nothing while it runs; once it has ended, its exit status (128 + the signal that killed it).
  std::optional<int> exit_status();

  // Ends it as a hang-up does (stop_pppd, signals to its process group); returns once it has
  // ended.
  StopOutcome stop(StopTiming timing, const std::function<void()>& drop_dtr);

 private:
  PppdProcess(pid_t pid, int log_fd) : pid_(pid), log_fd_(log_fd) {}

  pid_t pid_;
  int log_fd_;
  std::optional<int> status_;
};

}  // namespace nimbra::lnx
