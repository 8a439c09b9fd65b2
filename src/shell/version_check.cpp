// SPDX-License-Identifier: MIT
#include "shell/version_check.h"

namespace nimbra::shell {

void classify_version(uint32_t platform_id, uint32_t major, uint32_t minor, OsClass& os) {
  os.OsCode = 0;
  if (platform_id == kPlatformWin9x) {
    os.IsWin9x = true;
    os.RasEntrySize = 1768;
    if (major == 4 && minor == 0) os.OsCode = 10;
    if (major == 4 && minor == 10) os.OsCode = 20;
    if (major == 4 && minor == 90) os.OsCode = 30;
  } else if (platform_id == kPlatformNt) {
    os.IsWin9x = false;
    if (major == 3) {
      os.OsCode = 110;
    } else if (major == 4) {
      os.OsCode = 120;
    } else if (major == 5 && minor == 0) {
      os.OsCode = 130;
      os.RasEntrySize = 2088;
    } else if (major == 5 && minor == 1) {
      os.OsCode = 140;
      os.RasEntrySize = 2884;
    }
  }
}

}  // namespace nimbra::shell
