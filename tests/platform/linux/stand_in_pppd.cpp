// SPDX-License-Identifier: MIT
// A stand-in for pppd in the tests of the pppd dial-up service. It does what the script named
// by $NIMBRA_STAND_IN_SCRIPT says, one command a line:
//   log TEXT      writes TEXT as a log line to the log descriptor (3)
//   stderr TEXT   writes TEXT as a line to standard error, as pppd reports option errors
//   sleep MS      waits
//   auth          reads the password descriptor (4) to its end: "s3cret-pw" is let in ("PAP
//                 authentication succeeded"), anything else fails as pppd does (exit 19)
//   pidfile       writes $NIMBRA_STAND_IN_RUN/ppp-PEER.pid as pppd does for its link
//   hold          waits for SIGTERM, SIGINT or SIGHUP, then ends as pppd does (exit 5)
//   deaf          ignores SIGTERM from now on
//   exit N        ends with status N
// It also writes $NIMBRA_STAND_IN_RUN/started: its arguments one a line, then "tty" when its
// standard input is a terminal, "crtscts" and "hupcl" when the terminal has those flags,
// "group" when it leads its own process group, and "stdout " with what its standard output is.
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t g_signal = 0;
std::string g_pid_file;

void on_signal(int signal) {
  g_signal = signal;
}

void log_line(const std::string& text) {
  const std::string line = text + "\n";
  [[maybe_unused]] const ssize_t n = write(3, line.data(), line.size());
}

[[noreturn]] void end(int status) {
  if (!g_pid_file.empty()) unlink(g_pid_file.c_str());
  std::exit(status);
}

std::string read_password() {
  std::string password;
  char c;
  while (read(4, &c, 1) == 1 && password.size() < 1024) password += c;
  return password;
}

}  // namespace

int main(int argc, char** argv) {
  const char* script = std::getenv("NIMBRA_STAND_IN_SCRIPT");
  const char* run = std::getenv("NIMBRA_STAND_IN_RUN");
  if (!script || !run) return 1;
  std::string peer;
  {
    std::ofstream started(std::string(run) + "/started");
    for (int i = 0; i < argc; ++i) {
      started << argv[i] << "\n";
      if (std::strcmp(argv[i], "call") == 0 && i + 1 < argc) peer = argv[i + 1];
    }
    if (isatty(STDIN_FILENO)) started << "tty\n";
    termios tio{};
    if (tcgetattr(STDIN_FILENO, &tio) == 0) {
      if (tio.c_cflag & CRTSCTS) started << "crtscts\n";
      if (tio.c_cflag & HUPCL) started << "hupcl\n";
    }
    if (getpgrp() == getpid()) started << "group\n";
    char target[256] = {};
    if (readlink("/proc/self/fd/1", target, sizeof target - 1) > 0) {
      started << "stdout " << target << "\n";
    }
  }
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);

  std::ifstream commands(script);
  std::string line;
  while (std::getline(commands, line)) {
    const std::string word = line.substr(0, line.find(' '));
    const std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
    if (word == "log") {
      log_line(rest);
    } else if (word == "stderr") {
      const std::string text = rest + "\n";
      [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, text.data(), text.size());
    } else if (word == "sleep") {
      usleep(static_cast<useconds_t>(std::atoi(rest.c_str())) * 1000);
    } else if (word == "auth") {
      if (read_password() != "s3cret-pw") {
        log_line("PAP authentication failed");
        end(19);
      }
      log_line("PAP authentication succeeded");
    } else if (word == "pidfile") {
      g_pid_file = std::string(run) + "/ppp-" + peer + ".pid";
      std::ofstream(g_pid_file) << getpid() << "\nppp0\n";
    } else if (word == "hold") {
      while (g_signal == 0) pause();
      log_line("Terminating on signal " + std::to_string(g_signal));
      log_line("Connection terminated.");
      end(5);
    } else if (word == "deaf") {
      signal(SIGTERM, SIG_IGN);
    } else if (word == "exit") {
      end(std::atoi(rest.c_str()));
    }
  }
  end(0);
}
