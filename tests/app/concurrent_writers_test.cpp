// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "nimbra_test/run_program.h"
#include "nimbra_test/test_machine.h"
#include "platform/registry/file_registry.h"
#include "platform/sim/dialup/connections_file.h"

namespace nimbra::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kWriting = std::chrono::seconds(2);

// Runs `work` in a child process and returns the counts it reports; the child never returns.
class Child {
 public:
  explicit Child(const std::function<std::pair<int, int>()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(fds[0]);
      const auto [done, failed] = work();
      const std::string report = std::to_string(done) + " " + std::to_string(failed);
      const bool told = ::write(fds[1], report.data(), report.size()) > 0;
      ::_exit(told ? 0 : 1);
    }
    ::close(fds[1]);
    read_end_ = fds[0];
  }
  // What the child did and how many of its steps failed.
  std::pair<int, int> result() {
    char text[64] = {};
    const ssize_t n = ::read(read_end_, text, sizeof text - 1);
    ::close(read_end_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    int done = -1, failed = -1;
    if (n <= 0 || std::sscanf(text, "%d %d", &done, &failed) != 2) return {-1, -1};
    return {done, failed};
  }

 private:
  pid_t pid_ = -1;
  int read_end_ = -1;
};

// The program's dial-up service dials and hangs up over and over while nimbra-machine ends the
// machine's connections from outside, both for two seconds: no call is refused for a connection
// that was ended, every handle the service took is counted in the file, and nothing stays up.
TEST(ConcurrentWriters, DialupServiceAndToolShareConnections) {
  TestMachine m;
  m.start();  // provisions KVAUTODL
  const sim::ConnectionsFile file(m.dir() / sim::kConnectionsFile, platform::CodePage::Western);
  const platform::HRASCONN first = file.load().next_handle;
  const fs::path dir = m.dir();

  Child service([&dir] {
    sim::Machine machine(dir);
    const platform::DialParams params{"KVAUTODL", "", "", "qenvora", "qenvora", ""};
    int handles = 0, failed = 0;
    for (const auto end = Clock::now() + kWriting; Clock::now() < end;) {
      platform::HRASCONN handle = 0;
      const uint32_t result = machine.dialup().dial(params, {}, nullptr, handle);
      if (handle != 0) ++handles;
      if (result != 0 || machine.dialup().hang_up(handle) != 0) ++failed;
    }
    return std::pair{handles, failed};
  });
  Child tool([&dir] {
    int runs = 0, failed = 0;
    for (const auto end = Clock::now() + kWriting; Clock::now() < end; ++runs) {
      const auto run = run_program({NIMBRA_MACHINE_TOOL, "hangup", dir.string()});
      if (!run || run->status != 0) ++failed;
    }
    return std::pair{runs, failed};
  });
  const auto [handles, refused] = service.result();
  const auto [runs, tool_failed] = tool.result();
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(tool_failed, 0);
  EXPECT_GT(handles, 10);
  EXPECT_GT(runs, 5);
  const sim::ConnectionTable table = file.load();
  EXPECT_EQ(table.next_handle, first + static_cast<platform::HRASCONN>(handles));
  EXPECT_TRUE(table.up.empty());
  std::printf("%d calls dialled and hung up, %d runs of nimbra-machine hangup\n", handles, runs);
}

// Two programs set values in one registry for two seconds: every value either of them set is in
// the file afterwards.
TEST(ConcurrentWriters, TwoProgramsShareTheRegistry) {
  TestMachine m;
  const fs::path file = m.dir() / "registry.reg";
  const std::string key = "Software\\Concurrent";
  {
    platform::FileRegistry registry(file, platform::CodePage::Western);
    ASSERT_TRUE(registry.modify(
        [&](platform::RegistryStore& store) { store.create_key("HKEY_CURRENT_USER\\" + key); }));
  }
  const auto writer = [&](char name) {
    return [&, name] {
      platform::FileRegistry registry(file, platform::CodePage::Western);
      platform::HKEY handle = 0;
      if (registry.RegOpenKeyExA(platform::HKEY_CURRENT_USER, key, 0, 0xF003F, handle) != 0) {
        return std::pair{0, 1};
      }
      int written = 0, failed = 0;
      for (const auto end = Clock::now() + kWriting; Clock::now() < end; ++written) {
        const uint8_t data[4] = {static_cast<uint8_t>(written), 0, 0, 0};
        const std::string value = name + std::to_string(written);
        if (registry.RegSetValueExA(handle, value, 0, platform::REG_DWORD, data) != 0) ++failed;
      }
      return std::pair{written, failed};
    };
  };
  Child a(writer('a'));
  Child b(writer('b'));
  const auto [a_written, a_failed] = a.result();
  const auto [b_written, b_failed] = b.result();
  EXPECT_EQ(a_failed + b_failed, 0);
  EXPECT_GT(a_written, 10);
  EXPECT_GT(b_written, 10);
  platform::FileRegistry registry(file, platform::CodePage::Western);
  const auto values = registry.snapshot().values("HKEY_CURRENT_USER\\" + key);
  EXPECT_EQ(values.size(), static_cast<size_t>(a_written + b_written));
  std::printf("%d and %d registry writes\n", a_written, b_written);
}

}  // namespace
}  // namespace nimbra::test
