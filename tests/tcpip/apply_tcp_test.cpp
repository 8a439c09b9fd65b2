// SPDX-License-Identifier: MIT
#include "tcpip/apply_tcp.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sim/machine_power.h"
#include "tcpip_scenario.h"

namespace nimbra::tcpip {
namespace {

using platform::MsgBoxResult;
using test::Program;
using test::TestMachine;

using Text = std::optional<std::string>;

struct Written {
  Text max_mtu, max_mss, ipmtu, rcv_window, default_mss;
  friend bool operator==(const Written&, const Written&) = default;
};

Written written(TestMachine& m, const std::string& adapter) {
  return {text_value(m, adapter, "MaxMTU"), text_value(m, adapter, "MaxMSS"),
          text_value(m, adapter, "IPMTU"), text_value(m, kMstcp, "DefaultRcvWindow"),
          text_value(m, kMstcp, "DefaultMSS")};
}

// Stale values an earlier Apply left, which every Apply replaces or removes.
void leave_earlier_values(TestMachine& m) {
  ASSERT_TRUE(m.machine().registry().modify([](platform::RegistryStore& s) {
    for (const std::string& adapter : {kAdapter1, kAdapter2}) {
      s.set_string(adapter, "MaxMTU", "576");
      s.set_string(adapter, "MaxMSS", "536");
    }
    s.set_string(kMstcp, "DefaultRcvWindow", "2144");
    s.set_string(kMstcp, "DefaultMSS", "536");
  }));
}

// Apply writes both dial-up adapters and MSTCP, not the network card ("Windows default" deletes
// all but IPMTU "0", a segment size below 1 is not stored), then asks with an OK-only box and
// restarts and ends the program.
TEST(ApplyTcpSettings, WritesEveryDialupAdapterThenRestarts) {
  struct Row {
    int option;
    const char* mtu;  // typed into the boxes when the option is 1
    const char* rwin;
    Written expected;
  };
  const Row rows[] = {
      {0, "", "", {"1500", "1460", "1500", "17520", "1460"}},
      {2, "", "", {{}, {}, "0", {}, {}}},
      {1, "30", "8760", {"30", {}, "30", "8760", {}}},
      {1, "", "8000", {{}, {}, "0", "8000", {}}},
      {1, "41", "", {"41", "1", "41", "41", "1"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.option) + " " + r.mtu + "/" + r.rwin);
    TestMachine m = machine98("dialup_adapters = 2", "[dialup]\nother_connections = KVAUTODL\n");
    leave_earlier_values(m);
    Program& program = m.start();
    ASSERT_FALSE(program.ended);
    shell::MainForm& f = program.form();
    f.KorvoTab.user_select(3);
    f.TcpipOption[r.option].value = true;
    if (r.option == 1) {
      enter(f.MtuTxt, r.mtu);
      enter(f.RwinTxt, r.rwin);
    }
    m.run_for(program, 5000);
    ASSERT_FALSE(m.machine().dialup().connections().empty());
    program.handle([&] { f.CmdApply.click(); });

    EXPECT_EQ(written(m, kAdapter1), r.expected);
    EXPECT_EQ(written(m, kAdapter2), r.expected);
    EXPECT_EQ(text_value(m, kCard, "IPMTU"), std::nullopt);
    ASSERT_EQ(program.boxes().size(), 1u);
    EXPECT_EQ(program.boxes()[0].text,
              "Now restart PC to execute changes.  Data being processed may be lost.  Please save "
              "data, then close application before pushing OK button.");
    EXPECT_EQ(program.boxes()[0].title, "Restart PC");
    EXPECT_EQ(program.boxes()[0].buttons, platform::MsgBoxButtons::Ok);
    EXPECT_TRUE(program.ended);
    const auto restart = sim::last_restart(m.dir());
    ASSERT_TRUE(restart);
    EXPECT_EQ(restart->time, (platform::LocalDateTime{2026, 12, 6, 10, 0, 5}));
    EXPECT_TRUE(m.machine().dialup().connections().empty());
  }
}

// A restart box that cannot be shown gives message 108 under the same title and no restart.
TEST(ApplyTcpSettings, RestartBoxNotShownLeavesTheMachineRunning) {
  TestMachine m = machine98("");
  Program& program = m.start();
  shell::MainForm& f = program.form();
  f.KorvoTab.user_select(3);
  f.TcpipOption[0].value = true;
  program.process.window().answer_next_boxes_with(MsgBoxResult::Failed);
  program.handle([&] { f.CmdApply.click(); });
  EXPECT_FALSE(program.ended);
  ASSERT_EQ(program.boxes().size(), 2u);
  EXPECT_EQ(program.boxes()[1].text, "Restart PC to execute changes in setting.");
  EXPECT_EQ(program.boxes()[1].title, "Restart PC");
  EXPECT_EQ(sim::last_restart(m.dir()), std::nullopt);
  EXPECT_EQ(text_value(m, kAdapter1, "MaxMTU"), "1500");
}

// Keys that fail during Apply stop it after their message, without a restart: Class\Net gone
// since start-up gives 114, an MSTCP key that refuses writing 115 after the adapter was written.
TEST(ApplyTcpSettings, UnwritableKeysStopTheApply) {
  {
    TestMachine m = machine98("");
    Program& program = m.start();
    ASSERT_TRUE(m.machine().registry().modify(
        [](platform::RegistryStore& s) { s.delete_key(sim::kClassNetKey); }));
    program.form().KorvoTab.user_select(3);
    program.form().TcpipOption[0].value = true;
    program.handle([&] { program.form().CmdApply.click(); });
    ASSERT_EQ(program.boxes().size(), 1u);
    EXPECT_EQ(program.boxes()[0].text, "ERROR-011 : Unable to detect communication conditions.");
    EXPECT_EQ(text_value(m, kMstcp, "DefaultRcvWindow"), std::nullopt);
    EXPECT_FALSE(program.ended);
  }
  {
    TestMachine m = machine98("", "[registry]\ndeny_write = " + kMstcp);
    Program& program = m.start();
    program.form().KorvoTab.user_select(3);
    program.form().TcpipOption[0].value = true;
    program.handle([&] { program.form().CmdApply.click(); });
    ASSERT_EQ(program.boxes().size(), 1u);
    EXPECT_EQ(program.boxes()[0].text, "ERROR-012 : Unable to detect communication conditions.");
    EXPECT_EQ(text_value(m, kAdapter1, "MaxMTU"), "1500");
    EXPECT_FALSE(program.ended);
    EXPECT_EQ(sim::last_restart(m.dir()), std::nullopt);
  }
}

}  // namespace
}  // namespace nimbra::tcpip
