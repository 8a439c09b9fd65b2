// SPDX-License-Identifier: MIT
// Scenario helpers: a settings file saying which options are on, pressing buttons as a user
// does, and a recorder of the status line in virtual time, also inside blocking handlers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialup/session/vbras32.h"
#include "nimbra_test/test_machine.h"
#include "shell/records/settings_record.h"

namespace nimbra::dialup::scenario {

using test::Program;
using test::TestMachine;

// Only the default account gets in.
inline constexpr std::string_view kServiceAccounts = "\n[dialup]\naccept = qenvora:qenvora\n";

struct Options {
  bool connect_on_start = false;
  bool browser = false;
  bool mailer = false;
  bool minimize = false;
  std::string password = "qenvora";
  int32_t accel_choice = 0;
};

inline void write_settings(TestMachine& m, const Options& o) {
  shell::SettingsRecord r;
  r.PlanIndex = 1;
  r.UserName = "qenvora";
  r.Password = o.password;
  r.AccelChoice = o.accel_choice;
  const auto flag = [](bool on) { return on ? shell::kFlagTrue : shell::kFlagFalse; };
  r.OptConnectOnStart = flag(o.connect_on_start);
  r.OptBrowserAfterConnect = flag(o.browser);
  r.OptMailerAfterConnect = flag(o.mailer);
  r.OptMinimizeAfterConnect = flag(o.minimize);
  m.write_windows_file("nimbra1.dat", shell::encode_settings(r));
}

// Starts the program on a machine whose settings file has the options.
inline Program& start(TestMachine& m, const Options& o = {}) {
  write_settings(m, o);
  return m.start();
}

// A user click: only an enabled button can be pressed.
inline void press(Program& p, platform::Button& button) {
  ASSERT_TRUE(button.enabled.get()) << button.name() << " is disabled";
  p.handle([&] { button.click(); });
}

inline std::string text(Program& p, int id) {
  return p.app->catalogue.str(id);
}
inline std::string status(Program& p) {
  return p.form().StatusLbl.caption;
}
inline VBRas32& session(Program& p) {
  return *p.app->RasSession;
}
inline uint64_t now(TestMachine& m) {
  return m.machine().scheduler().now_ms();
}

// Every change of StatusLbl with its virtual time, sampled every 10 ms as device work, which
// runs inside the program's blocking waits too.
class StatusRecorder {
 public:
  struct Change {
    uint64_t at;
    std::string text;
  };

  StatusRecorder(TestMachine& m, Program& p) : machine_(m), program_(p) { sample(); }
  ~StatusRecorder() { machine_.machine().scheduler().cancel(task_); }

  const std::vector<Change>& changes() const { return changes_; }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const Change& c : changes_) out.push_back(c.text);
    return out;
  }

 private:
  void sample() {
    const std::string current = program_.form().StatusLbl.caption;
    if (changes_.empty() || changes_.back().text != current) {
      changes_.push_back({now(machine_), current});
    }
    task_ = machine_.machine().scheduler().after(10, sim::Scheduler::Lane::Device,
                                                 [this] { sample(); });
  }

  TestMachine& machine_;
  Program& program_;
  std::vector<Change> changes_;
  sim::Scheduler::TaskId task_ = 0;
};

}  // namespace nimbra::dialup::scenario
