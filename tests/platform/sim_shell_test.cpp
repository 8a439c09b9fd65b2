#include "platform/sim/sim_shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>

#include "nimbra_test/test_machine.h"

namespace nimbra::sim {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBrowser = "C:\\Program Files\\Browser\\browser.exe";

// Windows paths on drive C: land in the machine's folders, the most specific first, with
// existing names matched whatever their case; other drives and ".." have no host path.
TEST(MachineKernel, HostPathsOfDriveC) {
  test::TestMachine test;
  MachineKernel& kernel = test.machine().kernel();
  fs::create_directories(test.dir() / "drive_c" / "Program Files");
  struct Row {
    std::string_view windows;
    std::optional<fs::path> host;  // relative to the machine directory
  };
  const Row rows[] = {
      {"C:\\WINDOWS\\nimbra1.dat", "windows/nimbra1.dat"},
      {"C:\\Program Files\\Nimbra\\xxx.html", "program/xxx.html"},
      {"c:\\PROGRAM FILES\\Browser\\b.exe", "drive_c/Program Files/Browser/b.exe"},
      {"C:\\", "drive_c"},
      {"C:\\a\\..\\WINDOWS\\x", std::nullopt},
      {"D:\\x", std::nullopt},
      {"relative\\x", std::nullopt},
  };
  for (const Row& row : rows) {
    const auto host = kernel.host_path(row.windows);
    EXPECT_EQ(host ? std::optional(host->lexically_relative(test.dir())) : std::nullopt, row.host)
        << row.windows;
  }
}

// The temporary directory is TEMP in the Windows directory, created private to the user.
TEST(MachineKernel, TemporaryDirectory) {
  test::TestMachine test;
  EXPECT_EQ(test.machine().kernel().temp_directory(), "C:\\WINDOWS\\TEMP");
  struct stat st {};
  ASSERT_EQ(stat((test.dir() / "windows" / "TEMP").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(test.machine().kernel().temp_directory(), "C:\\WINDOWS\\TEMP");
}

class SimShellTest : public ::testing::Test {
 protected:
  test::TestMachine test{test::with_card(),
                         "[shell]\n.html = C:\\Program Files\\Browser\\browser.exe\n"};
  MachineKernel& kernel = test.machine().kernel();
  SimShell shell{test.machine().config(), kernel};
};

// FindExecutableA answers from machine.ini for documents the machine has.
TEST_F(SimShellTest, FindExecutable) {
  ASSERT_TRUE(install_file(kernel, "C:\\WINDOWS\\TEMP\\page.HTML"));
  ASSERT_TRUE(install_file(kernel, "C:\\WINDOWS\\TEMP\\mail.eml"));
  std::array<char, 256> buffer;
  buffer.fill('#');
  std::array<char, 8> small;
  small.fill('#');
  EXPECT_EQ(shell.FindExecutableA("C:\\WINDOWS\\TEMP\\page.html", std::nullopt, buffer), 42);
  EXPECT_EQ(std::string(buffer.data()), kBrowser);
  EXPECT_EQ(shell.FindExecutableA("page.html", "C:\\WINDOWS\\TEMP", buffer), 42);
  EXPECT_EQ(shell.FindExecutableA("C:\\WINDOWS\\TEMP\\none.html", std::nullopt, buffer), 2);
  EXPECT_EQ(shell.FindExecutableA("C:\\WINDOWS\\TEMP\\mail.eml", std::nullopt, buffer), 31);
  EXPECT_EQ(shell.FindExecutableA("C:\\WINDOWS\\TEMP\\page.html", std::nullopt, small), 31);
  EXPECT_EQ(small[0], '#');
}

// Programs start only while their file is on the machine; starts and opened URLs are recorded
// in order, and documents open only through an association.
TEST_F(SimShellTest, StartsAndOpensAreRecorded) {
  EXPECT_FALSE(shell.start_program(kBrowser));
  ASSERT_TRUE(install_file(kernel, kBrowser));
  EXPECT_TRUE(shell.program_exists(kBrowser));
  EXPECT_TRUE(shell.start_program(kBrowser));
  EXPECT_EQ(shell.ShellExecuteA(0, std::nullopt, "mailto:help@example.org", std::nullopt, "\\", 0),
            42);
  EXPECT_EQ(shell.ShellExecuteA(0, "edit", "http://example.org/", std::nullopt, std::nullopt, 0),
            31);
  EXPECT_EQ(shell.ShellExecuteA(0, "open", kBrowser, std::nullopt, std::nullopt, 1), 31);
  using Kind = ShellAction::Kind;
  EXPECT_EQ(shell.actions(), (std::vector<ShellAction>{{Kind::StartProgram, std::string(kBrowser)},
                                                       {Kind::Open, "mailto:help@example.org"}}));
}

}  // namespace
}  // namespace nimbra::sim
