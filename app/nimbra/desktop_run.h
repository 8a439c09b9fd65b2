// SPDX-License-Identifier: MIT
// One run of the desktop program on its machine, as the user starts it and as the picture-taking
// program starts it: the machine is opened (the demo machine is made on a first start), the
// program starts on it, and the toolkit's event loop runs until the program ends.
#pragma once

#include <functional>

class QApplication;

namespace nimbra::app {

struct DesktopRunOptions {
  // Called once the program has started, before the event loop runs.
  std::function<void()> on_started;
  // Called once, just before the first window's controls are made (when it is first shown).
  std::function<void()> before_window = nullptr;
  // Whether a failure to open the machine is also shown in a box; nobody answers one in a
  // run without a person.
  bool show_errors_in_box = true;
};

// Returns the program's exit status.
int run_desktop(QApplication& qapp, const DesktopRunOptions& options);

// Whether the command line asks for the usage (--help or -h), which is answered before the
// toolkit starts: the toolkit needs a display.
bool asks_for_help(int argc, char** argv);

}  // namespace nimbra::app
