// SPDX-License-Identifier: MIT
#include "shell/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "nimbra_test/test_machine.h"
#include "shell/version_check.h"

namespace nimbra::shell {
namespace {

using test::TestMachine;

// Every row of the version table, including the cells that leave a value unchanged.
TEST(VersionCheck, ClassifiesEveryRow) {
  struct Row {
    uint32_t platform_id, major, minor;
    int16_t os_code;
    bool is_win9x;
    int32_t entry_size;
  };
  constexpr bool kKept9x = true;  // the prior value below
  constexpr int32_t kKeptSize = 4242;
  const Row rows[] = {
      {1, 4, 10, 20, true, 1768},       {1, 4, 3, 0, true, 1768},
      {1, 5, 0, 0, true, 1768},         {2, 4, 0, 120, false, kKeptSize},
      {2, 5, 0, 130, false, 2088},      {2, 5, 1, 140, false, 2884},
      {2, 5, 2, 0, false, kKeptSize},   {2, 6, 1, 0, false, kKeptSize},
      {0, 4, 0, 0, kKept9x, kKeptSize}, {3, 5, 1, 0, kKept9x, kKeptSize},
  };
  for (const auto& r : rows) {
    OsClass os{77, kKept9x, kKeptSize};
    classify_version(r.platform_id, r.major, r.minor, os);
    EXPECT_EQ(os.OsCode, r.os_code) << r.platform_id << "." << r.major << "." << r.minor;
    EXPECT_EQ(os.IsWin9x, r.is_win9x) << r.platform_id << "." << r.major << "." << r.minor;
    EXPECT_EQ(os.RasEntrySize, r.entry_size) << r.platform_id << "." << r.major << "." << r.minor;
  }
}

// Supported versions start with no message; NT 4.0 and unknown versions end after their message,
// and NT 3.x, undetected and without an entry size, cannot write its phone-book entry.
TEST(Startup, VersionDecidesWhetherTheProgramRuns) {
  struct Row {
    sim::WindowsVersion windows;
    int16_t os_code;
    int message;  // 0: starts
  };
  const Row rows[] = {
      {sim::WindowsVersion::Win95, 10, 0},    {sim::WindowsVersion::Win98, 20, 0},
      {sim::WindowsVersion::WinMe, 30, 0},    {sim::WindowsVersion::NT3, 110, 121},
      {sim::WindowsVersion::Win2000, 130, 0}, {sim::WindowsVersion::XP, 140, 0},
      {sim::WindowsVersion::NT4, 120, 111},   {sim::WindowsVersion::Other, 0, 110},
  };
  for (const auto& r : rows) {
    TestMachine m(test::with_card(r.windows));
    auto& program = m.start();
    const auto name = sim::windows_version_name(r.windows);
    EXPECT_EQ(program.app->OsCode, r.os_code) << name;
    if (r.message == 0) {
      EXPECT_FALSE(program.ended) << name;
      EXPECT_TRUE(program.boxes().empty()) << name;
      EXPECT_TRUE(program.form().visible) << name;
      continue;
    }
    EXPECT_TRUE(program.ended) << name;
    ASSERT_EQ(program.boxes().size(), 1u) << name;
    EXPECT_EQ(program.boxes()[0].text, program.app->catalogue.text(r.message)) << name;
    EXPECT_EQ(program.boxes()[0].buttons, platform::MsgBoxButtons::Ok) << name;
    EXPECT_FALSE(program.form().visible) << name;
  }
}

// Every file of the machine directory with its contents.
std::map<std::filesystem::path, std::string> machine_files(const TestMachine& m) {
  std::map<std::filesystem::path, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m.dir())) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// A second copy activates the first copy's window by its title and ends without a message and
// without writing anything; the first copy goes on running.
TEST(Startup, SecondInstanceActivatesTheFirst) {
  TestMachine m;
  auto& first = m.start();
  const auto files_before = machine_files(m);
  auto& second = m.start();
  EXPECT_EQ(machine_files(m), files_before);
  EXPECT_FALSE(first.ended);
  EXPECT_TRUE(second.ended);
  EXPECT_TRUE(second.boxes().empty());
  EXPECT_EQ(second.app->OsCode, 0) << "nothing after the hand-over runs";
  EXPECT_EQ(m.machine().instances().activated_titles, std::vector<std::string>{"Nimbra ver. 2.44"});
  EXPECT_TRUE(first.form().visible);
}

// The first page is in front at start-up, and Close ends the program.
TEST(Startup, FirstPageInFrontAndClose) {
  TestMachine m;
  auto& program = m.start();
  EXPECT_GT(program.form().Frames[0].z_order(), program.form().Frames[3].z_order());
  program.handle([&] { program.form().CmdCancel.click(); });
  EXPECT_TRUE(program.ended);
}

}  // namespace
}  // namespace nimbra::shell
