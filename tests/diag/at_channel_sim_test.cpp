// The channel against the in-process card, in virtual time.
#include <gtest/gtest.h>

#include "diag/at_channel.h"
#include "diag/reply_text.h"
#include "nimbra_test/test_machine.h"

namespace nimbra::diag {
namespace {

using platform::CommError;

struct Bench {
  explicit Bench(std::string_view card_ini)
      : machine({}, std::string("\n[ports]\npresent = 1,2\nheld = 4\n[card]\nport = 3\n") +
                        std::string(card_ini)),
        process(machine.machine().start_process()),
        channel(process.platform().comm, process.platform().kernel) {}
  uint64_t now() { return machine.machine().scheduler().now_ms(); }

  test::TestMachine machine;
  sim::Process& process;
  AtChannel channel;
};

// An exchange costs exactly its wait, whenever the card answers within it.
TEST(AtChannelSim, ExchangeCostsItsWait) {
  Bench b("device = KVT30-J\n");
  ASSERT_TRUE(b.channel.OpenForMeasurement(3));
  const uint64_t start = b.now();
  const auto reply = b.channel.SendAtCommand("ATI4", 1100);
  EXPECT_EQ(b.now() - start, 1100u);
  ASSERT_TRUE(reply);
  EXPECT_EQ(*reply, "ATI4\r\r\nKVT30-J\r\n\r\nOK\r\n");
  EXPECT_EQ(b.process.comm().written(), "ATI4\r");
}

// A wait shorter than the card's reply time takes only the echo; the answer stays waiting.
TEST(AtChannelSim, ShortWaitTakesOnlyTheEcho) {
  Bench b("device = KVT31-J\nreply_ms.ATI6 = 300\n");
  b.channel.OpenForMeasurement(3);
  EXPECT_EQ(b.channel.SendAtCommand("ATI6", 100), "ATI6\r");
  b.machine.machine().run_for(300);
  int16_t waiting = 0;
  b.process.comm().InBufferCount(waiting);
  EXPECT_EQ(waiting, 21);
}

// A late card's answer arrives in the next exchange, which is how an ATI6 answer can show up
// as the reply to ATI4.
TEST(AtChannelSim, LateAnswerArrivesInTheNextExchange) {
  Bench b("device = KVT30-J\nfault = late\nphs_number = 07011112222\n");
  b.channel.OpenForMeasurement(3);
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI6", 1100).value_or("")), "");
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 1100).value_or("")), "07011112222");
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 1100).value_or("")), "KVT30-J");
}

struct FaultCase {
  sim::CardFault fault;
  bool anything;
};

// A faulty card never yields a value line, and a silent one yields nothing at all.
TEST(AtChannelSim, FaultsYieldNoValue) {
  const FaultCase cases[] = {{sim::CardFault::Silent, false},
                             {sim::CardFault::Error, true},
                             {sim::CardFault::Partial, true},
                             {sim::CardFault::Garbage, true}};
  for (const auto& c : cases) {
    Bench b("device = KVT30-J\necho = off\n");
    b.machine.machine().card()->model().set_fault(c.fault);
    b.channel.OpenForMeasurement(3);
    const uint64_t start = b.now();
    const auto reply = b.channel.SendAtCommand("ATI4", 1100);
    EXPECT_EQ(b.now() - start, 1100u);
    EXPECT_EQ(reply.has_value(), c.anything);
    EXPECT_EQ(ExtractReplyLine(reply.value_or("")), "");
  }
}

// Ports that do not exist or that another program holds do not open, and the measurement's
// open remembers that; the connect flow's open reads the port state again.
TEST(AtChannelSim, OpensFailOnMissingAndHeldPorts) {
  Bench b("device = KVT30-J\n");
  auto& comm = b.process.platform().comm;
  EXPECT_FALSE(b.channel.OpenForMeasurement(4));
  EXPECT_FALSE(b.channel.OpenForConnect(4));
  EXPECT_EQ(b.channel.SendAtCommand("ATI4", 1100), std::nullopt);

  ASSERT_TRUE(b.channel.OpenForConnect(3));
  auto& second = b.machine.machine().start_process().platform().comm;
  second.set_CommPort(3);
  EXPECT_EQ(second.set_PortOpen(true), CommError::PortInUse);
  b.channel.CloseAfterMeasurement(true);
  EXPECT_EQ(second.set_PortOpen(true), CommError::None);
  comm.set_CommPort(2);
  EXPECT_TRUE(b.channel.OpenForConnect(2));  // a port with nothing on it
  EXPECT_EQ(b.channel.SendAtCommand("ATI4", 1100), std::nullopt);
}

}  // namespace
}  // namespace nimbra::diag
