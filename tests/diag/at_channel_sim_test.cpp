// SPDX-License-Identifier: MIT
// The channel against the in-process card, in virtual time.
#include <gtest/gtest.h>

#include "diag/at_channel.h"
#include "diag/reply_text.h"
#include "nimbra_test/test_machine.h"

namespace nimbra::diag {
namespace {

struct Bench {
  explicit Bench(std::string_view card_ini)
      : machine({}, std::string("\n[ports]\npresent = 1,2\nheld = 4\n[card]\nport = 3\n") +
                        std::string(card_ini)),
        process(machine.machine().start_process()),
        channel(process.platform().comm, process.platform().kernel) {}

  test::TestMachine machine;
  sim::Process& process;
  AtChannel channel;
};

// A late card's answer arrives in the next exchange, which is how an ATI6 answer can show up
// as the reply to ATI4.
TEST(AtChannelSim, LateAnswerArrivesInTheNextExchange) {
  Bench b("device = KVT30-J\nfault = late\nphs_number = 07011112222\n");
  b.channel.OpenForMeasurement(3);
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI6", 1100).value_or("")), "");
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 1100).value_or("")), "07011112222");
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 1100).value_or("")), "KVT30-J");
}

// A held port does not open and exchanges over it give nothing; a port with nothing on it
// opens but stays silent.
TEST(AtChannelSim, HeldAndEmptyPorts) {
  Bench b("device = KVT30-J\n");
  EXPECT_FALSE(b.channel.OpenForMeasurement(4));
  EXPECT_FALSE(b.channel.OpenForConnect(4));
  EXPECT_EQ(b.channel.SendAtCommand("ATI4", 1100), std::nullopt);
  EXPECT_TRUE(b.channel.OpenForConnect(2));
  EXPECT_EQ(b.channel.SendAtCommand("ATI4", 1100), std::nullopt);
}

}  // namespace
}  // namespace nimbra::diag
