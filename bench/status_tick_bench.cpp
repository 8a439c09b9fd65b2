// SPDX-License-Identifier: MIT
// The 100 ms status tick of an idle window, connected and not: it asks the dial-up service for
// the connections, which live in connections.ini. An unchanged file must cost next to nothing;
// a changed one is read again.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "dialup/status_lamp.h"
#include "platform/sim/dialup/connections_file.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine/machine_config.h"
#include "shell/app_context.h"
#include "shell/records/settings_record.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace {

using namespace nimbra;

// A started program on a machine of its own, whose settings dial nothing at start.
class IdleProgram {
 public:
  explicit IdleProgram(bool connected) {
    std::string dir = (std::filesystem::temp_directory_path() / "nimbra-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) throw std::runtime_error("no temporary directory");
    dir_ = dir;
    sim::create_machine(
        dir_, {sim::WindowsVersion::XP, platform::Language::English, {{"KVT30-J", 3, ""}}});
    machine_ = std::make_unique<sim::Machine>(dir_);
    shell::SettingsRecord quiet;
    quiet.UserName = quiet.Password = "qenvora";
    const auto image = shell::encode_settings(quiet);
    machine_->kernel().write_file("C:\\WINDOWS\\nimbra1.dat", image, platform::FileAccess::Private);
    sim::Process& process = machine_->start_process();
    app_ = std::make_unique<shell::AppContext>(process.platform());
    app::install_subsystems(*app_);
    shell::Main(*app_);
    // The first start has written the entry; another dialler brings it up.
    if (connected) {
      platform::DialParams params;
      params.entry_name = "KVAUTODL";
      platform::HRASCONN handle = 0;
      machine_->dialup().dial(params, {}, nullptr, handle);
    }
  }
  ~IdleProgram() {
    app_.reset();
    machine_.reset();
    std::filesystem::remove_all(dir_);
  }

  shell::AppContext& app() { return *app_; }
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
  std::unique_ptr<sim::Machine> machine_;
  std::unique_ptr<shell::AppContext> app_;
};

void BM_StatusTickIdle(benchmark::State& state) {
  IdleProgram program(state.range(0) != 0);
  for (auto _ : state) dialup::Timer1Tick(program.app());
  state.SetLabel(program.app().ConnState == 1 ? "connected" : "not connected");
}
BENCHMARK(BM_StatusTickIdle)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Every tick finds the file replaced by another program, as while a call comes up or goes.
void BM_StatusTickAfterChange(benchmark::State& state) {
  IdleProgram program(true);
  const sim::ConnectionsFile other(program.dir() / sim::kConnectionsFile,
                                   platform::CodePage::Western);
  for (auto _ : state) {
    state.PauseTiming();
    other.update([](sim::ConnectionTable& table) {
      table.take_handle();
      return true;
    });
    state.ResumeTiming();
    dialup::Timer1Tick(program.app());
  }
}
BENCHMARK(BM_StatusTickAfterChange)->Iterations(500)->Unit(benchmark::kMicrosecond);

}  // namespace
