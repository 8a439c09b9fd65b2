// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nimbra::test {

struct ProgramRun {
  int status;          // the exit status, or -1 when it did not exit
  std::string output;  // standard output and standard error together
};

// Runs `argv` (argv[0] an absolute path) with `env` as its whole environment, or ours when none
// is given; nothing when it could not be started.
std::optional<ProgramRun> run_program(const std::vector<std::string>& argv,
                                      const std::optional<std::vector<std::string>>& env = {});

}  // namespace nimbra::test
