// SPDX-License-Identifier: MIT
// Running another program to its end, from an argument vector, never through a shell.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace nimbra::custom {

struct ProgramRun {
  std::vector<std::string> argv;  // argv[0] is a full path
  std::vector<std::string> env;   // NAME=value, the program's whole environment
  std::chrono::seconds limit;     // it is ended (its whole process group) when it takes longer
};

// The program's exit status; nothing when it could not be started, ended by a signal or ran
// past its limit. Its standard output is dropped; its errors go to our standard error.
std::optional<int> run_program(const ProgramRun& run);

// The environment of this process with `changes` (NAME=value) in place of what it had.
std::vector<std::string> environment_with(const std::vector<std::string>& changes);

// The program's full path found in PATH; nothing when it is not there.
std::optional<std::string> find_in_path(const std::string& name);

}  // namespace nimbra::custom
