// SPDX-License-Identifier: MIT
#include "nimbra_test/run_program.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace nimbra::test {

std::optional<ProgramRun> run_program(const std::vector<std::string>& argv,
                                      const std::optional<std::vector<std::string>>& env) {
  const std::vector<std::string> variables = env.value_or(std::vector<std::string>{});
  std::vector<char*> args, envp;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  for (const auto& variable : variables) envp.push_back(const_cast<char*>(variable.c_str()));
  args.push_back(nullptr);
  envp.push_back(nullptr);
  int out[2];
  if (::pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
  pid_t child = 0;
  const bool started = ::posix_spawn(&child, args[0], &actions, nullptr, args.data(),
                                     env ? envp.data() : environ) == 0;
  ::posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ProgramRun run{-1, ""};
  char buffer[256];
  for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, n);
  ::close(out[0]);
  int status = 0;
  if (!started || ::waitpid(child, &status, 0) != child) return std::nullopt;
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  return run;
}

}  // namespace nimbra::test
