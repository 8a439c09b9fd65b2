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

struct ModelCase {
  std::string_view ini;
  std::string_view code;
  std::string_view level_command;  // empty: the card has none
};

// Every card answers its model code, and its level command in its own letter case gives a
// count that the program reads with the echo on; the other case is an error.
TEST(AtChannelSim, EachCardAnswersLikeItsModel) {
  const ModelCase cases[] = {
      {"device = KVT30-J\n", "KVT30-J", "AT@@LVL"},
      {"device = KVT30C-J\n", "KVT30C-J", "at@@lvl"},
      {"device = KVT31-J\n", "KVT31-J", "AT@@LVL"},
      {"device = KVT31C-J\n", "KVT31C-J", "at@@lvl"},
      {"device = KVR20C-J\n", "KVR20C-J", "AT@@LVL"},
      {"device = UCA2-PCX\ncarries = KVT31C-J\n", "KVT31C-J", "at@@lvl"},
      {"device = Glider U\n", "KVT30-J", "AT@@LVL"},
      {"device = PX-301KV\n", "PX-301", ""},
  };
  for (const auto& c : cases) {
    Bench b(std::string(c.ini) + "levels = 5,2,4\nfree_channels = 3\n");
    b.channel.OpenForMeasurement(3);
    EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 1100).value_or("")), c.code);
    if (c.level_command.empty()) continue;
    const std::string other = c.level_command == "AT@@LVL" ? "at@@lvl" : "AT@@LVL";
    EXPECT_NE(b.channel.SendAtCommand(other, 5000).value_or("").find("ERROR"), std::string::npos);
    const std::string lvl = RemoveEcho(b.channel.SendAtCommand(c.level_command, 5000).value_or(""),
                                       c.level_command, EchoRemoval::Unguarded);
    EXPECT_EQ(NumericField16(lvl.substr(0, 5)), 3) << c.code;
    EXPECT_EQ(lvl.substr(5, 5), "\r\n524") << c.code;
    const std::string lnk = RemoveEcho(b.channel.SendAtCommand("AT@@LNK", 3000).value_or(""),
                                       "AT@@LNK", EchoRemoval::Guarded);
    EXPECT_EQ(NumericField32(lnk.substr(0, 5)), 3) << c.code;
  }
}

// The PX-301 answers its field strengths only after the first 1100 ms, in comma fields.
TEST(AtChannelSim, Px301AnswersInTheSecondWait) {
  Bench b("device = PX-301KV\nlevels = 5,3,-\n");
  b.channel.OpenForMeasurement(3);
  EXPECT_EQ(b.channel.SendAtCommand("AT@K", 1100), "AT@K\r");
  b.machine.machine().run_for(1100);
  std::string reply;
  b.process.comm().Input(reply);
  EXPECT_EQ(reply, "\r\n@K:1,07,65,45,0\r\n\r\nOK\r\n");
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

// Echo follows ATE0 and ATE1 and comes back on with ATZ; unknown commands are errors.
TEST(AtChannelSim, EchoAndReset) {
  Bench b("device = KVT30-J\n");
  b.channel.OpenForMeasurement(3);
  EXPECT_EQ(b.channel.SendAtCommand("ATE0", 100), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(b.channel.SendAtCommand("ATI5", 100), "\r\nVer 1.00\r\n\r\nOK\r\n");
  EXPECT_EQ(b.channel.SendAtCommand("ATX9", 100), "\r\nERROR\r\n");
  EXPECT_EQ(b.channel.SendAtCommand("ATZ", 100), "\r\nOK\r\n");
  EXPECT_EQ(b.channel.SendAtCommand("ATD##61123", 1000), "ATD##61123\r\r\nCONNECT\r\n");
}

// Ports that do not exist or that another program holds do not open, and the measurement's
// open remembers that; the connect flow's open reads the port state again.
TEST(AtChannelSim, OpensFailOnMissingAndHeldPorts) {
  Bench b("device = KVT30-J\n");
  auto& comm = b.process.platform().comm;
  EXPECT_FALSE(b.channel.OpenForMeasurement(4));
  EXPECT_FALSE(b.channel.OpenForConnect(4));
  EXPECT_EQ(b.channel.SendAtCommand("ATI4", 1100), std::nullopt);
  comm.set_CommPort(5);
  EXPECT_EQ(comm.set_PortOpen(true), CommError::InvalidPortNumber);
  comm.set_CommPort(4);
  EXPECT_EQ(comm.set_PortOpen(true), CommError::PortInUse);
  EXPECT_EQ(comm.set_PortOpen(false), CommError::PortNotOpen);

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

// A card that goes away mid-exchange closes the port: the exchange yields nothing.
TEST(AtChannelSim, UnpluggedCardClosesThePort) {
  Bench b("device = KVT30-J\nfault = unplugged\n");
  auto& comm = b.process.platform().comm;
  ASSERT_TRUE(b.channel.OpenForMeasurement(3));
  EXPECT_EQ(b.channel.SendAtCommand("ATI4", 1100), std::nullopt);
  EXPECT_FALSE(comm.PortOpen());
  std::string text;
  EXPECT_EQ(comm.Input(text), CommError::DeviceGone);
  comm.set_CommPort(3);
  EXPECT_EQ(comm.set_PortOpen(true), CommError::InvalidPortNumber);
}

}  // namespace
}  // namespace nimbra::diag
