// SPDX-License-Identifier: MIT
// crash_session: a scripted session of the program on a simulated machine that writes every file
// the machine holds, and the start that must work after it was killed anywhere. The crash test
// runs it under its tracer and kills it from outside.
//   crash_session create DIR   a new Windows 98 machine, not opened yet
//   crash_session run DIR      the session: first start, dial, inquiry, hang-up, plan change,
//                              Accelerator Apply with cache deletion, dial, Optimize Apply and
//                              the machine's restart
//   crash_session start DIR    starts the program; status 0 when it came up without a message
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "platform/host/file_io.h"
#include "platform/sim/machine.h"
#include "shell/app_context.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace {

using nimbra::platform::Button;
using nimbra::shell::AppContext;
using nimbra::shell::MainForm;

// Machine.ini lines after the device: a fixed clock, a small cache, an account the service takes
// and a validity date far enough away that no notice is shown.
constexpr std::string_view kMachineIni =
    "\n[clock]\nstart = 2026-12-06 10:00:00\n"
    "[cache]\nentries = 12\nurls = http://a.example/, http://b.example/\n"
    "[dialup]\naccept = qenvora:qenvora\n"
    "[validity]\ndate = 27/06/30\n"
    "[network]\ndialup_adapters = 2\n";

class SessionFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One program instance on the machine; a program end inside an action is recorded.
class Program {
 public:
  explicit Program(nimbra::sim::Machine& machine)
      : machine_(machine), process_(machine.start_process()), app_(process_.platform()) {
    nimbra::app::install_subsystems(app_);
    handle([this] { nimbra::shell::Main(app_); });
  }

  MainForm& form() { return app_.main_form; }
  AppContext& app() { return app_; }
  bool ended() const { return ended_; }
  size_t boxes() const { return process_.window().message_boxes().size(); }
  std::string last_box() const {
    const auto& boxes = process_.window().message_boxes();
    return boxes.empty() ? "" : boxes.back().text;
  }

  void press(Button& button) {
    if (!button.enabled.get()) throw SessionFailed(button.name() + " is disabled");
    handle([&] { button.click(); });
  }
  void wait(uint64_t ms) {
    handle([&] { machine_.run_for(ms); });
  }
  template <class F>
  void handle(F&& action) {
    try {
      action();
    } catch (const nimbra::sim::ProgramEnded&) {
      ended_ = true;
    }
  }

 private:
  nimbra::sim::Machine& machine_;
  nimbra::sim::Process& process_;
  AppContext app_;
  bool ended_ = false;
};

void expect(bool condition, const std::string& what) {
  if (!condition) throw SessionFailed(what);
}

void create(const std::filesystem::path& dir) {
  nimbra::sim::create_machine(dir, {nimbra::sim::WindowsVersion::Win98,
                                    nimbra::platform::Language::English,
                                    {{"KVT30-J", 3, ""}}});
  const auto config = dir / nimbra::sim::machine_files::kConfig;
  auto text = nimbra::platform::read_text_file(config, 1 << 20);
  expect(text.has_value(), "cannot read " + config.string());
  expect(nimbra::platform::write_text_file_atomic(config, *text + std::string(kMachineIni), 0644),
         "cannot write " + config.string());
}

void wait_for_call(Program& program) {
  program.wait(10'000);
  expect(program.app().ConnState == 1, "the call did not come up: " + program.last_box());
}

void run(const std::filesystem::path& dir) {
  nimbra::sim::Machine machine(dir);  // the first opening seeds the browser cache
  Program program(machine);
  expect(!program.ended() && program.boxes() == 0, "the first start failed");
  MainForm& form = program.form();

  wait_for_call(program);        // the start's own call: phone book, connections.ini
  program.press(form.CmdLimit);  // nimbral.dat
  program.wait(1'000);
  program.press(form.CmdDiscnct);
  program.wait(1'000);

  form.KorvoTab.user_select(5);
  program.handle([&] { form.ServiceOption[2].value = true; });  // nimbra1.dat, proxy values

  form.KorvoTab.user_select(2);
  program.handle([&] {
    form.AccOption[3].value = true;
    form.CheckCash.value = 1;
  });
  program.press(form.CmdApply);  // the proxy value, nimbra1.dat, the cache's files
  program.wait(1'000);
  expect(!program.ended(), "the Accelerator page's Apply ended the program");

  form.KorvoTab.user_select(1);
  program.press(form.CmdConnect);  // a call for the restart to end
  wait_for_call(program);
  form.KorvoTab.user_select(3);
  program.handle([&] { form.TcpipOption[0].value = true; });
  program.press(form.CmdApply);  // the dial-up adapters, power.ini, connections.ini
  expect(program.ended(), "the Optimize page's Apply did not restart the machine");
}

int start(const std::filesystem::path& dir) {
  nimbra::sim::Machine machine(dir);
  Program program(machine);
  if (!program.ended()) program.wait(1'000);
  if (program.ended()) {
    std::fprintf(stderr, "crash_session: the program ended at start: %s\n",
                 program.last_box().c_str());
    return 1;
  }
  if (program.boxes() != 0) {
    std::fprintf(stderr, "crash_session: the start said: %s\n", program.last_box().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: crash_session create|run|start DIR\n", stderr);
    return 2;
  }
  const std::string_view command = argv[1];
  const std::filesystem::path dir = argv[2];
  try {
    if (command == "create") {
      create(dir);
      return 0;
    }
    if (command == "run") {
      run(dir);
      return 0;
    }
    if (command == "start") return start(dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "crash_session: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "crash_session: unknown command %s\n", argv[1]);
  return 2;
}
