// SPDX-License-Identifier: MIT
// Finds the one supported modem and its COM port at start-up, from the registry of the NT or the
// 9x family, and ends the program with a message when there is none or more than one.
#pragma once

#include "shell/app_context.h"

namespace nimbra::detect {

// Fills ModemList and ModemCount by the walk of the system's family. NT 4.0 ends with message
// 111; NT 3.x is not searched. A list with more hits than slots keeps the first eleven.
void detect_modems(shell::AppContext& app);

// Makes the start-up run detect_modems.
inline void install_modem_detection(shell::AppContext& app) {
  app.detect_modems = detect_modems;
}

}  // namespace nimbra::detect
