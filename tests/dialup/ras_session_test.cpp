// SPDX-License-Identifier: MIT
#include "dialup/session/vbras32.h"

#include <gtest/gtest.h>

#include <memory>

#include "connecting_scenario.h"
#include "nimbra_test/test_machine.h"
#include "platform/sim/desktop/sim_window.h"

namespace nimbra::dialup {
namespace {

using test::TestMachine;

constexpr char kCard[] = "ARLEN DENSHI CO.,LTD. KVT30-J";

// A program instance whose start-up has not run: the session object is created by hand.
struct BareProgram {
  explicit BareProgram(TestMachine& m)
      : process(m.machine().start_process()),
        app(std::make_unique<shell::AppContext>(process.platform())) {}

  // Creates the session; false when the program ended instead.
  bool create_session() {
    try {
      session = std::make_unique<VBRas32>(*app);
      return true;
    } catch (const sim::ProgramEnded&) {
      return false;
    }
  }
  const std::vector<sim::MessageBoxRecord>& boxes() { return process.window().message_boxes(); }

  sim::Process& process;
  std::unique_ptr<shell::AppContext> app;
  std::unique_ptr<VBRas32> session;
};

void store_entry_device(TestMachine& m, const std::string& device, uint32_t record_size) {
  sim::EntryProperties properties;
  properties.record_size = record_size;
  properties.device_type = "modem";
  properties.device_name = device;
  ASSERT_TRUE(m.machine().dialup().phonebook().store_properties("KVAUTODL", properties));
}

// A modem change rewrites the entry with the saved credentials, not with text typed and not
// applied, and loads the window anew; a start keeps the start-up's default login.
TEST(RasSession, ModemChangeStoresTheSavedCredentials) {
  TestMachine m;
  auto& program = m.start();
  ASSERT_FALSE(program.ended);
  auto& form = program.form();
  form.UserTxt.text = "typed-not-applied";
  program.handle([&] { form.CmdRenew.click(); });
  ASSERT_FALSE(program.ended);
  const auto entry = m.machine().dialup().phonebook().find("KVAUTODL");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->dial.user_name, "qenvora");
  EXPECT_EQ(form.UserTxt.text.get(), "qenvora");
  EXPECT_TRUE(form.visible);
}

// The first start writes the entry for the detected card with the first access point, IP over
// PPP and CHAP and the settings' credentials, and the session reads it back.
TEST(RasSession, FirstStartProvisionsTheEntry) {
  TestMachine m;
  ASSERT_FALSE(m.machine().dialup().phonebook().find("KVAUTODL"));
  auto& program = m.start();
  ASSERT_FALSE(program.ended);
  EXPECT_TRUE(program.boxes().empty());
  const auto entry = m.machine().dialup().phonebook().find("KVAUTODL");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->properties.device_name, kCard);
  EXPECT_EQ(entry->properties.local_phone, "0570000300");
  EXPECT_EQ(entry->properties.protocols, 4u);
  EXPECT_EQ(entry->properties.framing, 1u);
  EXPECT_EQ(entry->properties.options & 0x4000000u, 0x4000000u);
  EXPECT_EQ(entry->properties.record_size, 2884u);
  EXPECT_EQ(entry->dial.password, "qenvora");

  const VBRas32& session = *program.app->RasSession;
  EXPECT_EQ(session.m_DeviceName, kCard);
  EXPECT_EQ(session.EnumUserName(0), "qenvora");
}

// A missing entry ends the program with 122, a device not accepted on this family with 162.
TEST(RasSession, EntryMustExistAndUseASupportedDevice) {
  struct Row {
    sim::WindowsVersion windows;
    const char* device;  // nullptr: no entry
    int message;         // 0: created
  };
  const Row rows[] = {
      {sim::WindowsVersion::XP, nullptr, 122},
      {sim::WindowsVersion::XP, "Q-R DATA UCA2-PCX #2", 0},
      {sim::WindowsVersion::Win98, "Q-R DATA UCA2-PCX #2", 162},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.device ? r.device : "(no entry)");
    TestMachine m(test::with_card(r.windows));
    if (r.device)
      store_entry_device(m, r.device, r.windows == sim::WindowsVersion::XP ? 2884 : 1768);
    BareProgram program(m);
    EXPECT_EQ(program.create_session(), r.message == 0);
    ASSERT_EQ(program.boxes().size(), r.message == 0 ? 0u : 1u);
    if (r.message != 0) {
      EXPECT_EQ(program.boxes()[0].text, program.app->catalogue.text(r.message));
    }
  }
}

// A connection of the entry that is up at start is taken over: message 102 and only CmdDiscnct
// of the three buttons enabled; with three connections up the search answers no.
TEST(RasSession, ConnectionUpAtStart) {
  struct Row {
    const char* others;
    bool up;
  };
  for (const Row& r :
       {Row{"KVAUTODL", true}, Row{"KVAUTODL, ISP1, ISP2", false}, Row{"ISP1", false}}) {
    TestMachine m(test::with_card(),
                  std::string("[dialup]\nother_connections = ") + r.others + "\n");
    auto& program = scenario::start(m, {.accel_choice = 1});
    SCOPED_TRACE(r.others);
    ASSERT_FALSE(program.ended);
    shell::MainForm& form = program.form();
    EXPECT_EQ(form.CmdConnect.enabled.get(), !r.up);
    EXPECT_EQ(form.CmdDiscnct.enabled.get(), r.up);
    EXPECT_FALSE(form.CmdLimit.enabled.get());
    EXPECT_EQ(form.StatusLbl.caption.get(), program.app->catalogue.str(r.up ? 102 : 103));
    EXPECT_EQ(program.app->ConnState, r.up ? 1 : 0);
    EXPECT_EQ(program.app->RasSession->Connection() != 0, r.up);
  }
}

// Taking over the running connection lets HangUp end it, after a one-second pause.
TEST(RasSession, SeekWithSetPropThenHangUpEndsTheConnection) {
  TestMachine m(test::with_card(), "[dialup]\nother_connections = KVAUTODL\n");
  BareProgram program(m);
  store_entry_device(m, kCard, 2884);
  ASSERT_TRUE(program.create_session());
  VBRas32& session = *program.session;
  EXPECT_FALSE(session.SeekEnumConns("kvautodl", true));
  EXPECT_EQ(session.Connection(), 0u);
  ASSERT_TRUE(session.SeekEnumConns("KVAUTODL", true));
  EXPECT_NE(session.Connection(), 0u);
  ASSERT_EQ(m.machine().dialup().connections().size(), 1u);
  const uint64_t before = m.machine().kernel().tick_count_ms();
  EXPECT_EQ(session.HangUp(), 0u);
  EXPECT_EQ(m.machine().kernel().tick_count_ms() - before, 1000u);
  EXPECT_EQ(session.Connection(), 0u);
  EXPECT_TRUE(m.machine().dialup().connections().empty());
  EXPECT_FALSE(session.SeekEnumConns("KVAUTODL"));
}

// A dial RAS refuses at once shows one box with the composed text and hangs up once with a
// parent window; without one the dial itself hangs up first, so two pauses pass.
TEST(RasSession, DialRefusedAtOnce) {
  for (const bool with_parent : {true, false}) {
    TestMachine m(test::with_card(), "[dialup]\noutcome = refuse\nerror = 633\n");
    BareProgram program(m);
    store_entry_device(m, kCard, 2884);
    ASSERT_TRUE(program.create_session());
    VBRas32& session = *program.session;
    session.ParentWindow(with_parent ? program.process.window().attach(program.app->main_form) : 0);
    session.Entry("KVAUTODL");
    session.UserID("qenvora");
    session.Password("qenvora");
    int errors = 0;
    session.ConnectError = [&](uint32_t code) { errors += code == 633 ? 1 : 100; };
    const uint64_t before = m.machine().kernel().tick_count_ms();
    EXPECT_EQ(session.Dialup(), 633u);
    EXPECT_EQ(m.machine().kernel().tick_count_ms() - before, with_parent ? 1000u : 2000u);
    EXPECT_EQ(errors, 1);
    ASSERT_EQ(program.boxes().size(), 1u);
    const shell::Catalogue& cat = program.app->catalogue;
    EXPECT_EQ(program.boxes()[0].text, cat.str(109) + " 633" + cat.str(105));
    EXPECT_EQ(session.Connection(), 0u);
    if (with_parent) program.process.window().detach(program.app->main_form);
  }
}

}  // namespace
}  // namespace nimbra::dialup
