#include "nimbra_test/run_program.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace nimbra::test {

namespace {
std::vector<char*> c_strings(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}
}  // namespace

std::optional<ProgramRun> run_program(const std::vector<std::string>& argv,
                                      const std::optional<std::vector<std::string>>& env) {
  std::vector<std::string> args_copy = argv, env_copy = env.value_or(std::vector<std::string>{});
  const auto args = c_strings(args_copy);
  const auto envp = c_strings(env_copy);
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
