// SPDX-License-Identifier: MIT
#include "nimbra_test/test_machine.h"

#include "platform/host/file_io.h"
#include "platform/sim/machine/machine_config.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace nimbra::test {

sim::MachineSpec with_card(sim::WindowsVersion windows, platform::Language language) {
  return {windows, language, {{"KVT30-J", 3, ""}}};
}

TestMachine::TestMachine(sim::MachineSpec spec, std::string_view extra_ini) {
  sim::create_machine(dir_.path(), spec);
  const auto config = dir_.path() / sim::machine_files::kConfig;
  std::string text = platform::read_text_file(config, 1 << 20).value_or("");
  text += "\n[clock]\nstart = 2026-12-06 10:00:00\n";
  text += extra_ini;
  platform::write_text_file_atomic(config, text, 0644);
  machine_ = std::make_unique<sim::Machine>(dir_.path());
}

Program& TestMachine::start(std::optional<platform::Language> ui_language) {
  sim::Process& process = machine_->start_process();
  if (ui_language) process.runtime().set_ui_language(*ui_language);
  auto program = std::make_unique<Program>(
      Program{process, std::make_unique<shell::AppContext>(process.platform())});
  app::install_subsystems(*program->app);
  program->handle([&] { shell::Main(*program->app); });
  programs_.push_back(std::move(program));
  return *programs_.back();
}

void TestMachine::write_windows_file(std::string_view name, std::span<const uint8_t> bytes) {
  const auto file = dir_.path() / sim::machine_files::kWindows / name;
  if (!platform::write_file_atomic(file, bytes, 0644))
    throw std::runtime_error("cannot write " + file.string());
}

std::optional<std::vector<uint8_t>> TestMachine::read_windows_file(std::string_view name) {
  return platform::read_file_bounded(dir_.path() / sim::machine_files::kWindows / name, 1 << 20);
}

void TestMachine::run_for(Program& program, uint64_t ms) {
  program.handle([&] { machine_->run_for(ms); });
}

}  // namespace nimbra::test
