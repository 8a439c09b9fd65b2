// SPDX-License-Identifier: MIT
// The channel over the real serial code, to the card simulator on a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "diag/at_channel.h"
#include "diag/reply_text.h"
#include "nimbra_test/temp_dir.h"
#include "platform/linux/desktop/system_clock.h"
#include "platform/linux/serial/serial_comm.h"
#include "platform/sim/card/pty_card.h"
#include "platform/sim/machine/machine_kernel.h"

namespace nimbra::diag {
namespace {

using platform::CommError;

constexpr int16_t kPort = 3;

sim::CardSettings card_of(std::string_view code, sim::CardFault fault = sim::CardFault::None) {
  sim::CardSettings s;
  s.model_code = code;
  s.fault = fault;
  s.reply_ms = 20;
  return s;
}

// One program's view of the card: real time, a real serial port, its own lock directory.
struct RealBench {
  explicit RealBench(const sim::PtyCard& card, std::filesystem::path lock_dir)
      : kernel(config, clock),
        comm(lnx::SerialOptions{[path = card.slave_path()](int16_t) { return path; },
                                std::move(lock_dir)}),
        channel(comm, kernel) {}

  sim::MachineConfig config;
  lnx::SystemClock clock;
  sim::MachineKernel kernel;
  lnx::SerialComm comm;
  AtChannel channel;
};

int64_t elapsed_ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               since)
      .count();
}

// Each card answers the identification commands and its measurement command through termios;
// without a writable lock directory the port opens guarded by the device lock alone.
TEST(AtChannelPty, EachCardAnswersThroughTermios) {
  struct IdentityCase {
    std::string_view code, measure, measure_line;
    bool lock_dir_writable;
  };
  const IdentityCase cases[] = {
      {"KVT30-J", "AT@@LVL", "0002", true},
      {"PX-301", "AT@K", "@K:1,07,55,10,0", false},
  };
  test::TempDir locks;
  for (const auto& c : cases) {
    auto settings = card_of(c.code);
    settings.levels = {4, 0};
    sim::PtyCard card(settings);
    RealBench b(card, c.lock_dir_writable ? locks.path() : "/nonexistent/lock/dir");
    ASSERT_TRUE(b.channel.OpenForConnect(kPort)) << c.code;
    EXPECT_EQ(b.comm.lock_file_used(), c.lock_dir_writable);
    EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 150).value_or("")), c.code);
    EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI5", 150).value_or("")), "Ver 1.00");
    EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI6", 150).value_or("")), "07012345678");
    const std::string reply = b.channel.SendAtCommand(c.measure, 150).value_or("");
    EXPECT_NE(reply.find(c.measure_line), std::string::npos) << c.code << ": " << reply;
    b.channel.CloseAfterMeasurement(true);
  }
}

// One exchange costs its full wait on the real clock, not more than a few milliseconds over.
TEST(AtChannelPty, ExchangeCostsItsWaitInRealTime) {
  test::TempDir locks;
  sim::PtyCard card(card_of("KVT30-J"));
  RealBench b(card, locks.path());
  ASSERT_TRUE(b.channel.OpenForMeasurement(kPort));
  const auto start = std::chrono::steady_clock::now();
  const auto reply = b.channel.SendAtCommand("ATI4", 1100);
  const int64_t took = elapsed_ms(start);
  EXPECT_GE(took, 1100);
  EXPECT_LE(took, 1100 + 50);
  EXPECT_EQ(ExtractReplyLine(reply.value_or("")), "KVT30-J");
}

// A lock file naming a running process keeps the port closed; one left by a dead process is
// replaced by ours and removed when the port closes.
TEST(AtChannelPty, LockFilesOfLiveAndDeadProcesses) {
  test::TempDir locks;
  sim::PtyCard card(card_of("KVT30-J"));
  const auto lock_file = locks.path() / lnx::UucpLock::file_name(card.slave_path());
  const auto lock_text = [](pid_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return std::string(text);
  };
  const pid_t dead = ::fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);

  std::ofstream(lock_file) << lock_text(1);
  EXPECT_FALSE(RealBench(card, locks.path()).channel.OpenForConnect(kPort));

  std::ofstream(lock_file) << lock_text(dead);
  RealBench b(card, locks.path());
  ASSERT_TRUE(b.channel.OpenForConnect(kPort));
  std::ifstream in(lock_file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), lock_text(::getpid()));
  b.channel.CloseAfterMeasurement(true);
  EXPECT_FALSE(std::filesystem::exists(lock_file));
}

// A card that goes away mid-exchange leaves an empty reply and a closed port, on time.
TEST(AtChannelPty, UnpluggedCardMidExchange) {
  test::TempDir locks;
  sim::PtyCard card(card_of("KVT30-J"));
  RealBench b(card, locks.path());
  ASSERT_TRUE(b.channel.OpenForMeasurement(kPort));
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 150).value_or("")), "KVT30-J");
  card.set_fault(sim::CardFault::Unplugged);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(b.channel.SendAtCommand("ATI6", 300), std::nullopt);
  EXPECT_LE(elapsed_ms(start), 300 + 50);
  EXPECT_FALSE(b.comm.PortOpen());
  EXPECT_EQ(b.channel.SendAtCommand("ATI6", 10), std::nullopt);
  std::string text;
  EXPECT_EQ(b.comm.Input(text), CommError::DeviceGone);
  EXPECT_FALSE(card.plugged());
}

// Noise and broken lines from the card give no value line and leave the port usable.
TEST(AtChannelPty, NoiseLeavesThePortUsable) {
  test::TempDir locks;
  sim::PtyCard card(card_of("KVT30-J", sim::CardFault::Garbage));
  RealBench b(card, locks.path());
  ASSERT_TRUE(b.channel.OpenForMeasurement(kPort));
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 150).value_or("")), "");
  card.set_fault(sim::CardFault::Partial);
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 150).value_or("")), "");
  card.set_fault(sim::CardFault::None);
  EXPECT_EQ(ExtractReplyLine(b.channel.SendAtCommand("ATI4", 150).value_or("")), "KVT30-J");
}

}  // namespace
}  // namespace nimbra::diag
