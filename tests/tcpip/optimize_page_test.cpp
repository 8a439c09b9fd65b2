#include "tcpip/optimize_page.h"

#include <gtest/gtest.h>

#include <string>

#include "tcpip_scenario.h"

namespace nimbra::tcpip {
namespace {

using sim::WindowsVersion;
using test::Program;
using test::TestMachine;

int selected_option(shell::MainForm& f) {
  for (int i = 0; i <= 2; ++i) {
    if (f.TcpipOption[i].value) return i;
  }
  return -1;
}

// At start-up the values in force pick the choice: no MaxMTU gives the Windows default whatever
// the window, the recommended pair gives Recommended, anything else is shown as user defined
// with the boxes' limits applied, and those shown values become the applied ones.
TEST(OptimizePage, StartUpPreselectsFromTheValuesInForce) {
  struct Row {
    const char* network;
    int option;
    const char* mtu_text;
    const char* rwin_text;
    int32_t mtu, rwin;
    bool locked;
  };
  const Row rows[] = {
      {"default_rcv_window = 8760", 2, "", "", 0, 0, true},
      {"max_mtu = 1500\ndefault_rcv_window = 17520", 0, "1500", "17520", 1500, 17520, true},
      {"max_mtu = 576\ndefault_rcv_window = 2144", 1, "576", "2144", 576, 2144, false},
      {"max_mtu = 576\ndefault_rcv_window = 1234567", 1, "576", "123456", 576, 123456, false},
      {"max_mtu = 2000", 1, "1500", "1500", 1500, 1500, false},
  };
  for (const Row& r : rows) {
    TestMachine m = machine98(r.network);
    Program& program = m.start();
    const std::string row = r.network;
    ASSERT_FALSE(program.ended) << row;
    shell::MainForm& f = program.form();
    EXPECT_EQ(selected_option(f), r.option) << row;
    EXPECT_EQ(f.MtuTxt.text.get(), r.mtu_text) << row;
    EXPECT_EQ(f.RwinTxt.text.get(), r.rwin_text) << row;
    EXPECT_EQ(f.MtuTxt.locked.get(), r.locked) << row;
    EXPECT_EQ(program.app->TcpMtu, r.mtu) << row;
    EXPECT_EQ(program.app->TcpRwin, r.rwin) << row;
    EXPECT_EQ(program.app->AppliedMtu, r.mtu) << row;
    EXPECT_EQ(program.app->AppliedRwin, r.rwin) << row;
    EXPECT_TRUE(f.Frames[2].enabled.get()) << row;
    EXPECT_TRUE(f.TcpipOption[0].visible.get() && f.TcpipOption[2].visible.get()) << row;
  }
}

// Typed MTUs are held to 1..1500: more becomes 1500, 0 or a negative number empties the box,
// and a text starting with a letter (above "99999999" as text) becomes 1500.
TEST(OptimizePage, MtuBoxKeepsTheMtuInRange) {
  struct Row {
    const char* typed;
    const char* shown;
    int32_t mtu;
  };
  const Row rows[] = {
      {"2000", "1500", 1500}, {"0", "", 0}, {"-5", "", 0}, {"a", "1500", 1500}, {"576", "576", 576},
  };
  TestMachine m = machine98("");
  Program& program = m.start();
  shell::MainForm& f = program.form();
  f.TcpipOption[1].value = true;
  for (const Row& r : rows) {
    enter(f.MtuTxt, r.typed);
    EXPECT_EQ(f.MtuTxt.text.get(), r.shown) << r.typed;
    EXPECT_EQ(program.app->TcpMtu, r.mtu) << r.typed;
  }
}

// The receive window box takes at most 999999, a letter makes it 999999, and a window smaller
// than the MTU, or an emptied box, takes the MTU's text.
TEST(OptimizePage, ReceiveWindowBoxNeverGoesBelowTheMtu) {
  struct Row {
    const char* typed;
    const char* shown;
    int32_t rwin;
  };
  const Row rows[] = {
      {"a", "999999", 999999}, {"1234567", "123456", 123456}, {"100", "576", 576}, {"", "576", 576},
      {"-3", "576", 576},      {"8760", "8760", 8760},
  };
  TestMachine m = machine98("");
  Program& program = m.start();
  shell::MainForm& f = program.form();
  f.TcpipOption[1].value = true;
  enter(f.MtuTxt, "576");
  for (const Row& r : rows) {
    enter(f.RwinTxt, r.typed);
    EXPECT_EQ(f.RwinTxt.text.get(), r.shown) << r.typed;
    EXPECT_EQ(program.app->TcpRwin, r.rwin) << r.typed;
  }
}

// Raising the MTU above the window leaves the window as it is until its own box is edited.
TEST(OptimizePage, RaisingTheMtuLeavesTheWindowUntilItIsEdited) {
  TestMachine m = machine98("");
  Program& program = m.start();
  shell::MainForm& f = program.form();
  f.TcpipOption[1].value = true;
  enter(f.MtuTxt, "576");
  enter(f.RwinTxt, "1000");
  enter(f.MtuTxt, "1500");
  EXPECT_EQ(f.RwinTxt.text.get(), "1000");
  EXPECT_EQ(program.app->TcpRwin, 1000);
  enter(f.RwinTxt, "1200");
  EXPECT_EQ(f.RwinTxt.text.get(), "1500");
  EXPECT_EQ(program.app->TcpRwin, 1500);
}

// Apply is enabled only once the choice differs from the values in force; an MTU edit alone
// never enables it.
TEST(OptimizePage, ApplyFollowsADifferenceFromTheAppliedValues) {
  TestMachine m = machine98("");
  Program& program = m.start();
  shell::MainForm& f = program.form();
  f.KorvoTab.user_select(3);
  ASSERT_FALSE(f.CmdApply.enabled.get());
  f.TcpipOption[1].value = true;
  EXPECT_FALSE(f.CmdApply.enabled.get()) << "user defined, both still 0";
  enter(f.MtuTxt, "576");
  EXPECT_FALSE(f.CmdApply.enabled.get()) << "MTU edit";
  enter(f.RwinTxt, "9");
  EXPECT_TRUE(f.CmdApply.enabled.get()) << "a window, raised to the MTU";
  f.KorvoTab.user_select(3);
  f.TcpipOption[2].value = true;
  EXPECT_FALSE(f.CmdApply.enabled.get()) << "Windows default, as in force";
  f.TcpipOption[0].value = true;
  EXPECT_TRUE(f.CmdApply.enabled.get()) << "recommended";
}

// On Windows XP the page is inert: its frame disabled, the note and the two fixed choices
// hidden, nothing read and nothing chosen.
TEST(OptimizePage, InertOnXp) {
  TestMachine m(test::with_card(WindowsVersion::XP));
  Program& program = m.start();
  ASSERT_FALSE(program.ended);
  shell::MainForm& f = program.form();
  EXPECT_FALSE(f.Frames[2].enabled.get());
  EXPECT_FALSE(f.MtuRwinLab.visible.get());
  EXPECT_FALSE(f.TcpipOption[0].visible.get());
  EXPECT_FALSE(f.TcpipOption[2].visible.get());
  EXPECT_TRUE(f.TcpipOption[1].visible.get());
  EXPECT_EQ(selected_option(f), -1);
  EXPECT_TRUE(program.boxes().empty());
}

// Unreadable TCP/IP keys at start-up end the program after their message: a missing or
// Class\Net key gives 112, the MSTCP key 113.
TEST(OptimizePage, UnreadableKeysEndTheStart) {
  struct Row {
    const char* network;
    const char* message;
  };
  const Row rows[] = {
      {"class_net = absent", "ERROR-009 : Unable to detect communication conditions."},
      {"mstcp = absent", "ERROR-010 : Unable to detect communication conditions(TCP/IP)."},
  };
  for (const Row& r : rows) {
    TestMachine m = machine98(r.network);
    Program& program = m.start();
    const std::string row = r.network;
    EXPECT_TRUE(program.ended) << row;
    ASSERT_EQ(program.boxes().size(), 1u) << row;
    EXPECT_EQ(program.boxes()[0].text, r.message) << row;
    EXPECT_EQ(program.boxes()[0].title, program.app->catalogue.str(1001)) << row;
    EXPECT_EQ(program.app->RasSession, nullptr) << row;
  }
}

}  // namespace
}  // namespace nimbra::tcpip
