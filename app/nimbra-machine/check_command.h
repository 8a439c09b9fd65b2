// SPDX-License-Identifier: MIT
// nimbra-machine check [DIR]: whether this computer can make the machine's real calls, one line
// per condition with the command that fixes it.
#pragma once

#include <filesystem>

namespace nimbra::app {

// Prints the lines for the machine in `dir`, looking at the system under `root`; 0 when a call
// can work, 1 when it cannot.
int check_machine(const std::filesystem::path& dir, const std::filesystem::path& root);

}  // namespace nimbra::app
