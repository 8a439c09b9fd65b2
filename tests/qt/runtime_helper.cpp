// SPDX-License-Identifier: MIT
// A desktop process for the runtime tests, driven by its arguments, reporting on stdout:
//   runtime_helper instance <machine-dir> [title]
//     prints "previous=0" or "previous=1". The holder then prints "activated=<title>" for each
//     request until it is killed; a later instance given a title sends it and prints "sent".
//   runtime_helper started <machine-dir>
//     starts as a copy does that waits at the access-code window: prints "started" and runs
//     until it is killed, without asking about a previous instance.
//   runtime_helper date <year> <month> <day>
//     prints the date in the system's short date format.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/qt/qt_runtime.h"

namespace {

void print_line(const std::string& line) {
  std::fputs((line + '\n').c_str(), stdout);
  std::fflush(stdout);
}

int run_instance(QCoreApplication& app, const char* machine_directory, const char* title) {
  nimbra::qt::QtRuntime runtime(machine_directory,
                                [](const std::string& text) { print_line("activated=" + text); });
  const bool previous = runtime.previous_instance();
  print_line(previous ? "previous=1" : "previous=0");
  if (!previous) return app.exec();
  if (title) {
    runtime.activate_by_title(title);
    print_line("sent");
  }
  return 0;
}

int run_started(QCoreApplication& app, const char* machine_directory) {
  nimbra::qt::QtRuntime runtime(machine_directory, [](const std::string&) {});
  print_line("started");
  return app.exec();
}

int run_date(const char* year, const char* month, const char* day) {
  nimbra::qt::QtRuntime runtime(".", [](const std::string&) {});
  print_line(runtime.short_date(
      {.year = std::atoi(year), .month = std::atoi(month), .day = std::atoi(day)}));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "instance" && (argc == 3 || argc == 4)) {
    return run_instance(app, argv[2], argc == 4 ? argv[3] : nullptr);
  }
  if (command == "started" && argc == 3) return run_started(app, argv[2]);
  if (command == "date" && argc == 5) return run_date(argv[2], argv[3], argv[4]);
  return 2;
}
