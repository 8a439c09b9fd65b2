// SPDX-License-Identifier: MIT
// Classification of the Windows version the program runs on.
#pragma once

#include <cstdint>

namespace nimbra::shell {

struct OsClass {
  int16_t OsCode = 0;
  bool IsWin9x = false;
  int32_t RasEntrySize = 0;
};

inline constexpr uint32_t kPlatformWin9x = 1;
inline constexpr uint32_t kPlatformNt = 2;

// Sets the operating-system code, the 9x flag and the phone-book entry size from the version
// record's platform id, major and minor version. Cells the classification does not name (the
// entry size on NT 3.x, NT 4.0 and unknown NT versions, both flags on an unknown platform) keep
// the values `os` already holds.
void classify_version(uint32_t platform_id, uint32_t major, uint32_t minor, OsClass& os);

}  // namespace nimbra::shell
