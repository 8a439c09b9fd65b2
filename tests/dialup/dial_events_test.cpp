// SPDX-License-Identifier: MIT
#include "dialup/dial_events.h"

#include <gtest/gtest.h>

#include "connecting_scenario.h"
#include "platform/sim/desktop/sim_shell.h"

namespace nimbra::dialup {
namespace {

using scenario::press;
using scenario::status;
using scenario::text;
using test::Program;
using test::TestMachine;

constexpr std::string_view kBrowser = "C:\\Program Files\\Browser\\browser.exe";
constexpr std::string_view kMailer = "C:\\Program Files\\Mail\\mail.exe";

std::string shell_ini(bool with_browser) {
  std::string ini = "\n[shell]\n.eml = " + std::string(kMailer) + "\n";
  if (with_browser) ini += ".html = " + std::string(kBrowser) + "\n";
  return ini;
}

// Records what reaches the window's previous procedure and answers with its own result.
class RecordingProcedure : public platform::WindowProcedure {
 public:
  struct Call {
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
    bool operator==(const Call&) const = default;
  };
  intptr_t handle(platform::Hwnd, uint32_t message, uintptr_t wparam, intptr_t lparam) override {
    calls.push_back({message, wparam, lparam});
    return 42;
  }
  std::vector<Call> calls;
};

void post_dial_event(Program& p, uintptr_t state, intptr_t error) {
  p.process.window().PostMessageA(p.app->main_window, scenario::session(p).RasEventMsg(), state,
                                  error);
}

// After the call connects, the browser, then the mail program start, then the window is
// minimised, as nodes 3, 4 and 6 say; without a browser, message 159 shows and the mail program
// still starts.
TEST(DialEvents, ConnectedStartsBrowserMailerAndMinimises) {
  using sim::ShellAction;
  for (const bool browser : {true, false}) {
    SCOPED_TRACE(browser ? "browser" : "no browser");
    TestMachine m(test::with_card(), shell_ini(browser));
    if (browser) sim::install_file(m.machine().kernel(), kBrowser);
    sim::install_file(m.machine().kernel(), kMailer);
    auto& p = scenario::start(m, {.browser = true, .mailer = true, .minimize = browser});
    press(p, p.form().CmdConnect);
    m.run_for(p, 10'000);
    EXPECT_EQ(status(p), text(p, 146));
    const auto& actions = p.process.shell().actions();
    ASSERT_EQ(actions.size(), browser ? 2u : 1u);
    if (browser) {
      EXPECT_EQ(actions[0], (ShellAction{ShellAction::Kind::StartProgram, std::string(kBrowser)}));
    }
    EXPECT_EQ(actions.back(), (ShellAction{ShellAction::Kind::StartProgram, std::string(kMailer)}));
    ASSERT_EQ(p.boxes().size(), browser ? 0u : 1u);
    if (!browser) {
      EXPECT_EQ(p.boxes()[0].text, text(p, 159));
    }
    EXPECT_EQ(p.form().window_state.get(),
              browser ? platform::WindowState::Minimized : platform::WindowState::Normal);
    EXPECT_FALSE(p.form().CmdConnect.enabled || p.form().FrameMode.enabled);
    EXPECT_TRUE(p.form().CmdDiscnct.enabled && p.form().CmdLimit.enabled);
    EXPECT_TRUE(p.app->RedialArmed) << "a connected call arms redial whatever the check box says";
  }
}

// A dropped connection (error 668) shows the error and only resets the buttons: no hang-up,
// no status change, no redial.
TEST(DialEvents, DroppedConnectionOnlyResetsButtons) {
  TestMachine m;
  auto& p = scenario::start(m);
  p.form().RedialCheck.value = 1;
  press(p, p.form().CmdConnect);
  m.run_for(p, 10'000);
  ASSERT_EQ(status(p), text(p, 146));
  const platform::HRASCONN handle = scenario::session(p).Connection();
  ASSERT_NE(handle, 0u);
  ASSERT_TRUE(m.machine().dialup().drop(handle));
  const uint64_t before = scenario::now(m);
  m.run_for(p, 50);
  ASSERT_EQ(p.boxes().size(), 1u);
  EXPECT_EQ(p.boxes()[0].text, text(p, 109) + " 668):" + scenario::session(p).ErrMsg(668));
  EXPECT_EQ(scenario::now(m) - before, 50u) << "no one-second hang-up";
  EXPECT_EQ(scenario::session(p).Connection(), handle);
  EXPECT_EQ(status(p), text(p, 146));
  EXPECT_TRUE(p.form().CmdConnect.enabled);
  EXPECT_FALSE(p.form().CmdCancel.enabled || p.form().CmdApply.enabled || p.form().CmdStop.enabled);
  m.run_for(p, 20'000);
  EXPECT_EQ(m.machine().dialup().calls_in_progress(), 0u) << "no redial";
  EXPECT_EQ(p.app->RedialCount, 0);
}

// Any other error shows its box, hangs the call up, shows "Disconnected." and, redial not being
// armed, leaves Connect, Close and Apply usable and Quit, the limit button and Stop not.
TEST(DialEvents, OtherErrorsEndTheCall) {
  for (const intptr_t error : {633, 691}) {
    TestMachine m;
    auto& p = scenario::start(m);
    shell::MainForm& form = p.form();
    form.CmdConnect.enabled = form.CmdCancel.enabled = form.CmdApply.enabled = false;
    form.CmdDiscnct.enabled = form.CmdLimit.enabled = form.CmdStop.enabled = true;
    p.app->ConnState = 2;
    post_dial_event(p, platform::RASCS_ConnectDevice, error);
    const uint64_t before = scenario::now(m);
    m.run_for(p, 50);
    ASSERT_EQ(p.boxes().size(), 1u) << error;
    EXPECT_EQ(p.boxes()[0].text, text(p, 109) + shell::compose_number(error) + "):" +
                                     scenario::session(p).ErrMsg(static_cast<uint32_t>(error)));
    EXPECT_GE(scenario::now(m) - before, 1000u) << "the hang-up's pause";
    EXPECT_EQ(status(p), text(p, 145)) << error;
    EXPECT_EQ(p.app->ConnState, 0) << error;
    EXPECT_TRUE(form.CmdConnect.enabled && form.CmdCancel.enabled && form.CmdApply.enabled);
    EXPECT_FALSE(form.CmdDiscnct.enabled || form.CmdLimit.enabled || form.CmdStop.enabled);
    EXPECT_EQ(p.app->RedialCount, 0) << error;
  }
}

// States outside the table show message 154 and change nothing else; state 0 disables
// Connect; the disconnected state hangs up and frees the buttons.
TEST(DialEvents, StatesWithoutACall) {
  struct Row {
    uint32_t state;
    int message;
    int32_t conn_state;
    bool connect_enabled;
  };
  const Row rows[] = {
      {platform::RASCS_SubEntryDisconnected, 154, 0, true},
      {platform::RASCS_AuthCallback, 125, 0, true},
      {platform::RASCS_OpenPort, 134, 2, false},
      {platform::RASCS_LogonNetwork, 129, 2, true},
      {platform::RASCS_Disconnected, 145, 0, true},
  };
  for (const Row& r : rows) {
    TestMachine m;
    auto& p = scenario::start(m);
    post_dial_event(p, r.state, 0);
    m.run_for(p, 50);
    EXPECT_EQ(status(p), text(p, r.message)) << r.state;
    EXPECT_EQ(p.app->ConnState, r.conn_state) << r.state;
    EXPECT_EQ(p.form().CmdConnect.enabled.get(), r.connect_enabled) << r.state;
    EXPECT_TRUE(p.boxes().empty()) << r.state;
  }
}

// Every message, the dial event included, goes on to the previous procedure, whose result is
// the procedure's result.
TEST(DialEvents, MessagesReachThePreviousProcedure) {
  TestMachine m;
  auto& p = scenario::start(m);
  RecordingProcedure previous;
  platform::WindowProcedure* original = std::exchange(p.app->PrevWndProc, &previous);
  constexpr uint32_t kOtherMessage = 0x0401;
  p.process.window().PostMessageA(p.app->main_window, kOtherMessage, 7, 9);
  post_dial_event(p, platform::RASCS_Projected, 0);
  m.run_for(p, 50);
  ASSERT_EQ(previous.calls.size(), 2u);
  EXPECT_EQ(previous.calls[0], (RecordingProcedure::Call{kOtherMessage, 7, 9}));
  EXPECT_EQ(previous.calls[1].message, scenario::session(p).RasEventMsg());
  EXPECT_EQ(WindowProc(*p.app, p.app->main_window, kOtherMessage, 1, 2), 42);
  EXPECT_EQ(status(p), text(p, 154));
  p.app->PrevWndProc = original;
}

}  // namespace
}  // namespace nimbra::dialup
