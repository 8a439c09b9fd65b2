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

}  // namespace
}  // namespace nimbra::test
