// SPDX-License-Identifier: MIT
// The UUCP lock of a device reached through a link (/dev/serial/by-id/...) is named after the
// device the link leads to, as every other program names it.
#include <gtest/gtest.h>

#include <filesystem>

#include "nimbra_test/temp_dir.h"
#include "platform/linux/serial/uucp_lock.h"

namespace nimbra::lnx {
namespace {

namespace fs = std::filesystem;

TEST(UucpLockName, FollowsLinksToTheDevice) {
  test::TempDir dir;
  fs::create_directories(dir / "by-id");
  fs::create_symlink("/dev/null", dir / "by-id/usb-QR_DATA_UCA2-PCX-if00");
  struct Row {
    fs::path device;
    std::string_view lock;
  };
  const Row rows[] = {
      {dir / "by-id/usb-QR_DATA_UCA2-PCX-if00", "LCK..null"},
      {"/dev/null", "LCK..null"},
      {"/dev/pts/999999", "LCK..pts_999999"},  // not there: its own name
  };
  for (const Row& row : rows) {
    const UucpLock lock(dir / "locks", row.device);
    EXPECT_EQ(lock.path(), dir / "locks" / row.lock) << row.device;
  }
}

}  // namespace
}  // namespace nimbra::lnx
