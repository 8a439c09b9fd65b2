// SPDX-License-Identifier: MIT
#include "platform/sim/machine/machine_kernel.h"

#include <gtest/gtest.h>

#include "nimbra_test/test_machine.h"

namespace nimbra::sim {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace nimbra::sim
