// SPDX-License-Identifier: MIT
// The settings file's record: the user's credentials, link mode, accelerator choice, plan index
// and the saved option flags, as the 803 bytes of nimbra1.dat lay them out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace nimbra::shell {

// 16-bit truth values of the option flags.
inline constexpr int16_t kFlagTrue = -1;
inline constexpr int16_t kFlagFalse = 0;

struct SettingsRecord {
  static constexpr size_t kSize = 803;
  static constexpr size_t kTextWidth = 257;
  static constexpr size_t kReservedWidth = 6;

  int32_t PlanIndex = 0;
  // Text fields hold ANSI bytes up to (not including) their NUL.
  std::string Signature;
  std::string UserName;
  std::string Password;
  int32_t LinkMode = 0;
  int32_t AccelChoice = 0;
  int16_t OptConnectOnStart = 0;
  int16_t OptMeasureOnStart = 0;
  int16_t OptBrowserAfterConnect = 0;
  int16_t OptMailerAfterConnect = 0;
  int16_t OptBrowserAfterProxy = 0;
  int16_t OptMinimizeAfterConnect = 0;
  int16_t OptRequestTerm = 0;
  std::array<uint8_t, kReservedWidth> Reserved{};

  // The six flags the option tree shows, in node order 1 to 6.
  std::array<int16_t*, 6> tree_flags() {
    return {&OptConnectOnStart,     &OptMeasureOnStart,    &OptBrowserAfterConnect,
            &OptMailerAfterConnect, &OptBrowserAfterProxy, &OptMinimizeAfterConnect};
  }

  friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// Reads the record from the file's bytes. A short image is read as far as it goes, the rest
// taken as zero; bytes past the record are ignored.
SettingsRecord decode_settings(std::span<const uint8_t> image);

// The file image. Text fields are cut to fit their NUL, and the bytes after it are zero, so no
// tail of an older, longer password stays in the file.
std::array<uint8_t, SettingsRecord::kSize> encode_settings(const SettingsRecord& record);

}  // namespace nimbra::shell
