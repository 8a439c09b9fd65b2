#include <gtest/gtest.h>

#include "ras_fixture.h"

namespace nimbra::test {
namespace {

using namespace platform;

std::vector<PostedEvent> walk_to(RasConnState last, uint32_t error) {
  const RasConnState walk[] = {RASCS_OpenPort,
                               RASCS_PortOpened,
                               RASCS_ConnectDevice,
                               RASCS_DeviceConnected,
                               RASCS_AllDevicesConnected,
                               RASCS_Authenticate,
                               RASCS_AuthNotify,
                               RASCS_AuthAck,
                               RASCS_Authenticated,
                               RASCS_Connected};
  std::vector<PostedEvent> events;
  for (const RasConnState state : walk) {
    events.push_back({state, state == last ? error : 0});
    if (state == last) break;
  }
  return events;
}

TEST(RasDial, PostsEveryStateInOrderAndConnects) {
  // A dial with a window notifier returns at once and the window hears the RAS states in order
  // over a few seconds of virtual time, ending connected.
  RasMachine m;
  m.provision();
  HRASCONN handle = 0;
  ASSERT_EQ(m.dial("qenvora", "qenvora", handle), 0u);
  EXPECT_NE(handle, 0u);
  EXPECT_TRUE(m.events().empty());
  m.machine().run_for(1000);
  EXPECT_LT(m.events().size(), 5u);
  m.machine().run_for(5000);
  EXPECT_EQ(m.events(), walk_to(RASCS_Connected, 0));
  ASSERT_EQ(m.service().connections().size(), 1u);
  EXPECT_EQ(m.service().connections()[0].handle, handle);
  EXPECT_EQ(m.service().connections()[0].entry, "KVAUTODL");
}

TEST(RasDial, FailsAsConfiguredOrScripted) {
  // A failing call walks to the failing state and posts it with the error code as the second
  // parameter; nothing more follows and no connection comes up.
  struct Row {
    std::string_view extra_ini;
    std::string_view user;
    uint32_t scripted_error;
    RasConnState scripted_at;
    RasConnState at;
    uint32_t error;
  };
  const Row rows[] = {
      {"[dialup]\naccept = qenvora:qenvora, user2:secret\n", "wrong", 0, RASCS_OpenPort,
       RASCS_AuthNotify, ERROR_AUTHENTICATION_FAILURE},
      {"[dialup]\noutcome = fail\n", "qenvora", 0, RASCS_OpenPort, RASCS_ConnectDevice,
       ERROR_NO_ANSWER},
      {"[dialup]\noutcome = fail\nerror = 676\nfail_at = DeviceConnected\n", "qenvora", 0,
       RASCS_OpenPort, RASCS_DeviceConnected, ERROR_LINE_BUSY},
      {"", "qenvora", ERROR_NO_DIALTONE, RASCS_PortOpened, RASCS_PortOpened, ERROR_NO_DIALTONE},
  };
  for (const Row& row : rows) {
    RasMachine m(row.extra_ini);
    m.provision();
    if (row.scripted_error != 0) m.service().fail_next_dial(row.scripted_error, row.scripted_at);
    HRASCONN handle = 0;
    ASSERT_EQ(m.dial(row.user, "qenvora", handle), 0u);
    m.machine().run_for(10000);
    EXPECT_EQ(m.events(), walk_to(row.at, row.error)) << row.extra_ini;
    EXPECT_TRUE(m.service().connections().empty());
    EXPECT_EQ(m.ras().RasHangUpA(handle), 0u);
  }
}

TEST(RasDial, AcceptsEveryListedAccount) {
  // Each account of the accept list connects.
  RasMachine m("[dialup]\naccept = qenvora:qenvora, user2:secret\n");
  m.provision();
  HRASCONN handle = 0;
  ASSERT_EQ(m.dial("user2", "secret", handle), 0u);
  m.machine().run_for(10000);
  EXPECT_EQ(m.events().back(), (PostedEvent{RASCS_Connected, 0}));
}

TEST(RasDial, RefusedAtOnce) {
  // A dial RAS refuses returns the code from RasDialA itself: no handle, no message, no
  // connection.
  struct Row {
    std::string_view extra_ini;
    uint32_t scripted;
    uint32_t error;
  };
  const Row rows[] = {
      {"", ERROR_PORT_NOT_AVAILABLE, ERROR_PORT_NOT_AVAILABLE},
      {"", ERROR_HARDWARE_FAILURE, ERROR_HARDWARE_FAILURE},
      {"[ports]\nheld = 3\n", 0, ERROR_PORT_NOT_AVAILABLE},
      {"[dialup]\noutcome = refuse\n", 0, ERROR_PORT_NOT_AVAILABLE},
      {"[dialup]\noutcome = refuse\nerror = 692\n", 0, ERROR_PORT_OR_DEVICE},
  };
  for (const Row& row : rows) {
    RasMachine m(row.extra_ini);
    m.provision();
    if (row.scripted != 0) m.service().refuse_next_dial(row.scripted);
    HRASCONN handle = 0;
    EXPECT_EQ(m.dial("qenvora", "qenvora", handle), row.error);
    EXPECT_EQ(handle, 0u);
    m.machine().run_for(10000);
    EXPECT_TRUE(m.events().empty());
    EXPECT_TRUE(m.service().connections().empty());
  }
}

TEST(RasDial, RefusesWhatItCannotDial) {
  // A missing entry, the other family's record and a modem already carrying a call are refused.
  RasMachine m;
  HRASCONN handle = 0;
  EXPECT_EQ(m.dial("qenvora", "qenvora", handle), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
  m.provision();
  EXPECT_EQ(m.ras().RasDialA(std::nullopt, dial_params(false, "KVAUTODL", "q", "q"),
                             kNotifierWindow, m.hwnd(), handle),
            ERROR_INVALID_SIZE);
  ASSERT_EQ(m.dial("qenvora", "qenvora", handle), 0u);
  HRASCONN second = 0;
  EXPECT_EQ(m.dial("qenvora", "qenvora", second), ERROR_PORT_NOT_AVAILABLE);
}

TEST(RasDial, SynchronousDialRunsToItsEnd) {
  // Without a notifier RasDialA returns only when the call has ended, after the call's virtual
  // time has passed, with the final code; no message is posted.
  for (const uint32_t error : {0u, ERROR_NO_CARRIER}) {
    RasMachine m;
    m.provision();
    if (error != 0) m.service().fail_next_dial(error, RASCS_DeviceConnected);
    const uint64_t start = m.machine().scheduler().now_ms();
    HRASCONN handle = 0;
    EXPECT_EQ(m.ras().RasDialA(std::nullopt, dial_params(true, "KVAUTODL", "qenvora", "qenvora"), 0,
                               0, handle),
              error);
    EXPECT_NE(handle, 0u);
    EXPECT_GE(m.machine().scheduler().now_ms() - start, error == 0 ? 3000u : 2000u);
    EXPECT_EQ(m.service().connections().size(), error == 0 ? 1u : 0u);
    m.machine().run_for(1000);
    EXPECT_TRUE(m.events().empty());
  }
}

TEST(RasDial, DroppedConnectionReports668) {
  // A connection that drops goes away and its dialler hears Disconnected with error 668; the
  // handle stays valid for the hang-up that follows.
  RasMachine m;
  m.provision();
  HRASCONN handle = 0;
  ASSERT_EQ(m.dial("qenvora", "qenvora", handle), 0u);
  m.machine().run_for(10000);
  ASSERT_TRUE(m.service().drop(handle));
  m.machine().run_for(10);
  EXPECT_EQ(m.events().back(), (PostedEvent{RASCS_Disconnected, ERROR_NO_CONNECTION}));
  EXPECT_TRUE(m.service().connections().empty());
  EXPECT_FALSE(m.service().drop(handle));
  EXPECT_EQ(m.ras().RasHangUpA(handle), 0u);
  EXPECT_EQ(m.ras().RasHangUpA(handle), ERROR_INVALID_HANDLE_RAS);
}

TEST(RasDial, HangingUpDuringTheCallStopsIt) {
  // A call hung up while it is being set up posts no further state and never comes up.
  RasMachine m;
  m.provision();
  HRASCONN handle = 0;
  ASSERT_EQ(m.dial("qenvora", "qenvora", handle), 0u);
  m.machine().run_for(600);
  const size_t seen = m.events().size();
  EXPECT_EQ(m.ras().RasHangUpA(handle), 0u);
  m.machine().run_for(10000);
  EXPECT_EQ(m.events().size(), seen);
  EXPECT_TRUE(m.service().connections().empty());
}

}  // namespace
}  // namespace nimbra::test
