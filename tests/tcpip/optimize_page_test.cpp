// SPDX-License-Identifier: MIT
#include "tcpip/optimize_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// At start-up no MaxMTU gives the Windows default, the recommended pair Recommended, anything
// else user defined within the boxes' limits, and the values shown become the applied ones.
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

// The dial-up adapter is the one its Windows names in its own language, whatever language the
// window speaks, and the page reads its values as text whatever their type: the values in
// force are found and Apply writes the adapter, not only MSTCP.
TEST(OptimizePage, FindsTheAdapterByItsWindowsName) {
  using platform::Language;
  struct Row {
    Language machine, ui;
    uint32_t text_type;  // of "DriverDesc", "MaxMTU" and "DefaultRcvWindow"
  };
  const Row rows[] = {
      {Language::Japanese, Language::English, platform::REG_SZ},
      {Language::English, Language::Japanese, platform::REG_SZ},
      {Language::Japanese, Language::Japanese, platform::REG_SZ},
      {Language::English, Language::English, platform::REG_EXPAND_SZ},
      {Language::English, Language::Japanese, platform::REG_BINARY},
  };
  for (const Row& r : rows) {
    const std::string row = std::to_string(static_cast<int>(r.machine)) + "/" +
                            std::to_string(static_cast<int>(r.ui)) + " type " +
                            std::to_string(r.text_type);
    TestMachine m(test::with_card(WindowsVersion::Win98, r.machine),
                  "[network]\nmax_mtu = 576\ndefault_rcv_window = 2144\n");
    ASSERT_TRUE(m.machine().registry().modify([&](platform::RegistryStore& store) {
      for (const auto& [key, name] :
           {std::pair{kAdapter1, "DriverDesc"}, std::pair{kAdapter1, "MaxMTU"},
            std::pair{kMstcp, "DefaultRcvWindow"}}) {
        const std::string text = *store.text_value(key, name);
        store.set_value(key, name, {r.text_type, {text.begin(), text.end()}});
      }
    })) << row;
    Program& program = m.start(r.ui);
    ASSERT_FALSE(program.ended) << row;
    shell::MainForm& f = program.form();
    EXPECT_EQ(program.app->catalogue.language(), r.ui) << row;
    EXPECT_EQ(selected_option(f), 1) << row;
    EXPECT_EQ(f.MtuTxt.text.get(), "576") << row;
    EXPECT_EQ(f.RwinTxt.text.get(), "2144") << row;
    f.KorvoTab.user_select(3);
    f.TcpipOption[0].value = true;
    program.handle([&] { f.CmdApply.click(); });
    EXPECT_EQ(text_value(m, kAdapter1, "MaxMTU"), "1500") << row;
    EXPECT_EQ(text_value(m, kMstcp, "DefaultRcvWindow"), "17520") << row;
  }
}

// Typed in order on one page: the MTU is held to 1..1500 (0 or less empties it), the window to
// 999999 and not below the MTU, which a raised MTU leaves alone until the window is edited.
TEST(OptimizePage, TypedValuesAreHeldInRange) {
  struct Row {
    bool mtu_box;
    const char* typed;
    const char* mtu;
    const char* rwin;
  };
  const Row rows[] = {
      {true, "2000", "1500", ""},
      {true, "0", "", ""},
      {true, "-5", "", ""},
      {true, "a", "1500", ""},
      {true, "576", "576", ""},
      {false, "a", "576", "999999"},
      {false, "1234567", "576", "123456"},
      {false, "100", "576", "576"},
      {false, "", "576", "576"},
      {false, "-3", "576", "576"},
      {false, "1000", "576", "1000"},
      {true, "1500", "1500", "1000"},
      {false, "1200", "1500", "1500"},
  };
  TestMachine m = machine98("");
  Program& program = m.start();
  shell::MainForm& f = program.form();
  f.TcpipOption[1].value = true;
  for (const Row& r : rows) {
    enter(r.mtu_box ? f.MtuTxt : f.RwinTxt, r.typed);
    EXPECT_EQ(f.MtuTxt.text.get(), r.mtu) << r.typed;
    EXPECT_EQ(f.RwinTxt.text.get(), r.rwin) << r.typed;
    EXPECT_EQ(program.app->TcpMtu, std::atoi(r.mtu)) << r.typed;
    EXPECT_EQ(program.app->TcpRwin, std::atoi(r.rwin)) << r.typed;
  }
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
