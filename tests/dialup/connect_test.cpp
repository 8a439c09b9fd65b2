// SPDX-License-Identifier: MIT
#include "dialup/connect.h"

#include <gtest/gtest.h>

#include "connecting_scenario.h"
#include "dialup/dial_events.h"
#include "platform/sim/desktop/sim_shell.h"

namespace nimbra::dialup {
namespace {

using scenario::kServiceAccounts;
using scenario::now;
using scenario::press;
using scenario::status;
using scenario::text;
using test::TestMachine;

bool entry_is_up(TestMachine& m) {
  for (const auto& c : m.machine().dialup().connections()) {
    if (c.entry == "KVAUTODL") return true;
  }
  return false;
}

int occurrences(std::string_view text, std::string_view piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + 1)) {
    ++n;
  }
  return n;
}

std::vector<std::string> card_commands(TestMachine& m) {
  return m.machine().card()->model().commands();
}

// A fresh machine without a settings file connects by itself on the first start with the
// default credentials; Quit then hangs up.
TEST(Connect, FirstStartConnectsAndQuitHangsUp) {
  TestMachine m(test::with_card(), kServiceAccounts);
  auto& p = m.start();
  ASSERT_FALSE(p.ended);
  EXPECT_TRUE(p.form().SettingTree.node(1).checked);
  m.run_for(p, 10'000);
  EXPECT_EQ(status(p), text(p, 146));
  EXPECT_EQ(p.app->ConnState, 1);
  EXPECT_TRUE(entry_is_up(m));
  // Without a settings file the browser and the mail program are asked for; there are neither.
  ASSERT_EQ(p.boxes().size(), 2u);
  EXPECT_EQ(p.boxes()[0].text, text(p, 159));
  EXPECT_EQ(p.boxes()[1].text, text(p, 160));

  const uint64_t before = now(m);
  press(p, p.form().CmdDiscnct);
  EXPECT_EQ(now(m) - before, 1000u) << "the hang-up pauses one second";
  EXPECT_EQ(status(p), text(p, 103));
  EXPECT_EQ(p.app->ConnState, 0);
  EXPECT_FALSE(entry_is_up(m));
  EXPECT_TRUE(p.form().CmdConnect.enabled && p.form().FrameMode.enabled);
  EXPECT_FALSE(p.form().CmdDiscnct.enabled || p.form().CmdLimit.enabled);
}

// Names and passwords of two characters or fewer, blanks aside, are refused before the card
// is asked anything.
TEST(Connect, RefusesShortCredentials) {
  struct Row {
    std::string user, password;
    int message;  // 0: accepted
  };
  const Row rows[] = {
      {"  ab  ", "secret", 117}, {"abc", " pw ", 118},      {"abc", "pwd", 0},
      {"名前", "secret", 117},   {"名前です", "secret", 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.user + "/" + r.password);
    TestMachine m;
    auto& p = scenario::start(m);
    p.form().UserTxt.text = r.user;
    p.form().PassTxt.text = r.password;
    press(p, p.form().CmdConnect);
    EXPECT_EQ(card_commands(m).empty(), r.message != 0);
    if (r.message == 0) {
      EXPECT_TRUE(p.boxes().empty());
      continue;
    }
    ASSERT_EQ(p.boxes().size(), 1u);
    EXPECT_EQ(p.boxes()[0].text, text(p, r.message));
    EXPECT_TRUE(p.form().CmdConnect.enabled);
  }
}

// The card queries: ATI4 is asked until a model comes (at most four times), ATI6 at least once
// and until the number has ten characters (at most four times), 1.1 s each; a card that gives
// no accepted model is refused with message 119 and nothing is dialled.
TEST(Connect, AsksTheCardBeforeDialling) {
  struct Row {
    std::string_view card_ini;
    int ati4, ati6;
    std::string phs_number;
    bool refused;
  };
  const Row rows[] = {
      {"", 1, 1, "07012345678", false},
      {"phs_number = 0701234\n", 1, 4, "0701234", false},
      {"fault = silent\n", 4, 4, "", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.card_ini);
    TestMachine m(test::with_card(), "\n[card]\n" + std::string(r.card_ini));
    auto& p = scenario::start(m);
    const uint64_t before = now(m);
    press(p, p.form().CmdConnect);
    const std::string& written = p.process.comm().written();
    EXPECT_EQ(occurrences(written, "ATI4\r"), r.ati4);
    EXPECT_EQ(occurrences(written, "ATI6\r"), r.ati6);
    EXPECT_EQ(now(m) - before, 1100u * static_cast<uint64_t>(r.ati4 + r.ati6));
    EXPECT_EQ(p.app->PhsNumber, r.phs_number);
    EXPECT_FALSE(p.process.comm().PortOpen());
    EXPECT_EQ(p.form().CmdConnect.enabled.get(), r.refused);
    EXPECT_EQ(m.machine().dialup().calls_in_progress(), r.refused ? 0u : 1u);
    ASSERT_EQ(p.boxes().size(), r.refused ? 1u : 0u);
    if (r.refused) {
      EXPECT_EQ(p.boxes()[0].text, text(p, 119));
    }
  }
}

// A port held by another program gives message 165 and leaves only Connect to press.
TEST(Connect, HeldPortIsRefused) {
  TestMachine m;
  auto& p = scenario::start(m);
  m.machine().ports().hold(3);
  p.form().CmdApply.enabled = true;
  press(p, p.form().CmdConnect);
  ASSERT_EQ(p.boxes().size(), 1u);
  EXPECT_EQ(p.boxes()[0].text, text(p, 165));
  const shell::MainForm& form = p.form();
  EXPECT_TRUE(form.CmdConnect.enabled);
  EXPECT_FALSE(form.CmdCancel.enabled || form.CmdApply.enabled || form.CmdStop.enabled ||
               form.CmdDiscnct.enabled);
  EXPECT_TRUE(card_commands(m).empty());
}

// The number is the link-mode prefix and the chosen access point; the session dials trimmed
// credentials and keeps the untrimmed ones in slot 0.
TEST(Connect, PreparesTheDial) {
  TestMachine m;
  auto& p = scenario::start(m);
  auto& form = p.form();
  form.AccPtCmb.user_select(1);
  form.UserTxt.text = std::string(" qenvora ");
  form.PassTxt.text = std::string("qenvora  ");
  press(p, form.CmdConnect);
  VBRas32& s = scenario::session(p);
  EXPECT_EQ(s.Entry(), "KVAUTODL");
  EXPECT_EQ(s.PhoneNum(), "##61" + p.app->AccessPoints[1]);
  EXPECT_EQ(s.UserID(), "qenvora");
  EXPECT_EQ(s.Password(), "qenvora");
  EXPECT_EQ(s.EnumUserName(0), " qenvora ");
  EXPECT_EQ(s.EnumPassword(0), "qenvora  ");

  // Multi-link mode on the main number.
  form.ServiceOption[2].value = true;
  ASSERT_TRUE(form.AccMode[1].value.get());
  PrepareDial(*p.app);
  EXPECT_EQ(s.PhoneNum(), "##64" + p.app->AccessPoints[0]);
  // Without an access point the number stays as it was.
  form.AccPtCmb.list_index = -1;
  PrepareDial(*p.app);
  EXPECT_EQ(s.PhoneNum(), "##64" + p.app->AccessPoints[0]);
}

// Connect while the entry is connected does nothing visible; Close then leaves the connection
// up and gives the window its previous procedure back.
TEST(Connect, ConnectWhileConnectedAndClose) {
  TestMachine m(test::with_card(), kServiceAccounts);
  auto& p = scenario::start(m, {.connect_on_start = true});
  m.run_for(p, 10'000);
  ASSERT_EQ(status(p), text(p, 146));
  const auto commands_before = card_commands(m).size();
  const uint64_t before = now(m);
  p.handle([&] { StartConnect(*p.app); });
  EXPECT_EQ(now(m), before);
  EXPECT_EQ(card_commands(m).size(), commands_before);
  EXPECT_TRUE(p.boxes().empty());

  press(p, p.form().CmdCancel);
  EXPECT_TRUE(p.ended);
  EXPECT_FALSE(p.app->RasSession);
  EXPECT_TRUE(entry_is_up(m));
  platform::WindowProcedure* current =
      p.process.window().SetWindowProcedure(p.app->main_window, nullptr);
  EXPECT_EQ(current, p.app->PrevWndProc);
  EXPECT_EQ(dynamic_cast<DialEventProcedure*>(current), nullptr);
}

// Edits of the credentials and the link mode make the settings savable; Stop only asks.
TEST(Connect, EditNoticesAndStop) {
  TestMachine m;
  auto& p = scenario::start(m);
  auto& form = p.form();
  const std::function<void()> edits[] = {
      [&] { form.UserTxt.text = std::string("someone"); },
      [&] { form.PassTxt.text = std::string("another"); },
      [&] { form.AccMode[0].click(); },
  };
  for (const auto& edit : edits) {
    form.CmdApply.enabled = false;
    edit();
    EXPECT_TRUE(form.CmdApply.enabled);
  }
  form.CmdStop.enabled = true;
  press(p, form.CmdStop);
  EXPECT_TRUE(p.app->StopRequested);
  EXPECT_TRUE(form.CmdStop.enabled);
}

}  // namespace
}  // namespace nimbra::dialup
