// SPDX-License-Identifier: MIT
// A simulated machine shared by all inputs of one fuzz run, created once in a temporary
// directory, with one program instance whose services the targets borrow. A target whose
// program may show message boxes gives each input a window of its own: the shared one would
// keep every box, and the growing record makes each run a leak check.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/sim/machine.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::fuzz {

inline sim::Machine& fuzz_machine();

inline sim::Process& fuzz_process() {
  static sim::Process& process = fuzz_machine().start_process();
  return process;
}

inline sim::Machine& fuzz_machine() {
  static std::unique_ptr<sim::Machine> machine;
  if (!machine) {
    std::string dir = (std::filesystem::temp_directory_path() / "nimbra-fuzz-XXXXXX").string();
    if (!mkdtemp(dir.data())) std::abort();
    // A card on COM3, so that some ports open.
    sim::create_machine(
        std::filesystem::path(dir) / "machine",
        {sim::WindowsVersion::XP, platform::Language::English, {{"KVT30-J", 3, ""}}});
    machine = std::make_unique<sim::Machine>(std::filesystem::path(dir) / "machine");
  }
  return *machine;
}

}  // namespace nimbra::fuzz
