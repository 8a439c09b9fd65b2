// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "platform/runtime.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

// Where the program looks for its machine: $NIMBRA_MACHINE when set, else
// ${XDG_DATA_HOME:-~/.local/share}/nimbra/machine.
std::filesystem::path default_machine_dir();

// The demo machine's device: a KVT30-J data card with its modem on COM3.
CardInstall demo_card();

// Creates the demo machine in `dir` unless a machine is already there: Windows XP in the given
// language, with a KVT30-J data card on COM3 and a dial-up service that lets the account
// "qenvora" (password "qenvora") in. Returns true when it created one. Throws MachineError.
bool ensure_demo_machine(const std::filesystem::path& dir, platform::Language language);

}  // namespace nimbra::sim
