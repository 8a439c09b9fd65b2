// SPDX-License-Identifier: MIT
// nimbra-machine check on this computer: a simulated machine cannot call for real, and each
// missing piece is named with its fix.
#include <filesystem>

#include <gtest/gtest.h>

#include "nimbra_test/run_program.h"
#include "nimbra_test/temp_dir.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

TEST(CheckCommand, NamesWhatThisComputerLacks) {
  test::TempDir dir;
  const std::string machine = (dir / "m").string();
  ASSERT_EQ(test::run_program({NIMBRA_MACHINE_TOOL, "init", machine})->status, 0);
  const auto run = test::run_program({NIMBRA_MACHINE_TOOL, "check", machine});
  ASSERT_TRUE(run);
  EXPECT_EQ(run->status, 1) << run->output;
  EXPECT_NE(run->output.find("fail  machine dials for real: it dials the simulated service"),
            std::string::npos)
      << run->output;
  const std::string ppp_line = fs::exists("/dev/ppp")
                                   ? "pass  kernel PPP support: /dev/ppp is there\n"
                                   : "fail  kernel PPP support: /dev/ppp is missing; fix: sudo "
                                     "modprobe ppp_async\n";
  EXPECT_NE(run->output.find(ppp_line), std::string::npos) << run->output;
  EXPECT_NE(run->output.find("a real call cannot work yet"), std::string::npos) << run->output;
}

}  // namespace
}  // namespace nimbra
