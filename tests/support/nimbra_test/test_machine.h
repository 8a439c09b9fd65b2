// SPDX-License-Identifier: MIT
// Scenario helpers: a fresh simulated machine in a temporary directory, and program instances
// started on it the way the desktop entry starts one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "nimbra_test/temp_dir.h"
#include "platform/sim/machine.h"
#include "shell/app_context.h"

namespace nimbra::test {

struct Program {
  sim::Process& process;
  std::unique_ptr<shell::AppContext> app;
  bool ended = false;

  shell::MainForm& form() { return app->main_form; }
  const std::vector<sim::MessageBoxRecord>& boxes() { return process.window().message_boxes(); }
  // Runs `action` as an event handler: a program end inside it is recorded, not propagated.
  template <class F>
  void handle(F&& action) {
    try {
      action();
    } catch (const sim::ProgramEnded&) {
      ended = true;
    }
  }
};

// A machine with a KVT30-J data card on COM3, as most scenarios want one.
sim::MachineSpec with_card(sim::WindowsVersion windows = sim::WindowsVersion::XP,
                           platform::Language language = platform::Language::English);

class TestMachine {
 public:
  // A machine whose clock starts on 2026-12-06 10:00:00; `extra_ini` is appended to machine.ini.
  explicit TestMachine(sim::MachineSpec spec = with_card(), std::string_view extra_ini = "");

  sim::Machine& machine() { return *machine_; }
  const std::filesystem::path& dir() const { return dir_.path(); }

  // Starts a program instance and runs its entry; its user interface speaks the machine's
  // language unless another is given.
  Program& start(std::optional<platform::Language> ui_language = std::nullopt);

  // Files of the machine's Windows directory, by name.
  void write_windows_file(std::string_view name, std::span<const uint8_t> bytes);
  std::optional<std::vector<uint8_t>> read_windows_file(std::string_view name);

  // Runs the message loop for `ms` of virtual time; a program end is recorded on `program`.
  void run_for(Program& program, uint64_t ms);

 private:
  TempDir dir_;
  std::unique_ptr<sim::Machine> machine_;
  std::vector<std::unique_ptr<Program>> programs_;
};

}  // namespace nimbra::test
