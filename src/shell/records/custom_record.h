// SPDX-License-Identifier: MIT
// The customisation file's record: a distributor's title, presets, locks, visibility flags,
// link targets, version text and recommended TCP/IP values, as the 1716 bytes of nimbra1.ssd
// lay them out. The program only reads it; the distributor's tool writes it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/text/codepage.h"

namespace nimbra::shell {

struct CustomRecord {
  static constexpr size_t kSize = 1716;

  // Flags: 1 means the effect the name says, any other value its opposite. Text fields hold the
  // whole fixed-width field as ANSI bytes, NULs and padding included.
  int32_t StartLock = 0;
  std::string WindowTitle;
  int32_t AccPtLabVisible = 0;
  int32_t UserLocked = 0;
  int32_t UserVisible = 0;
  std::string UserName;
  int32_t PassLocked = 0;
  int32_t PassVisible = 0;
  std::string Password;
  int32_t RedialDisabled = 0;
  int32_t RedialVisible = 0;
  int32_t RedialValue = 0;  // check state: 0 unchecked, 1 checked, 2 greyed
  int32_t SingleDisabled = 0;
  int32_t SingleVisible = 0;
  int32_t SingleValue = 0;  // check state as above
  int32_t RedialCountLocked = 0;
  int32_t RedialCountVisible = 0;
  std::string RedialCount;
  int32_t RedialIntervalLocked = 0;
  int32_t RedialIntervalVisible = 0;
  std::string RedialInterval;
  int32_t StopVisible = 0;
  int32_t AccelFrameDisabled = 0;
  int32_t AccelFrameVisible = 0;
  int32_t Accel1Visible = 0;
  int32_t Accel2Visible = 0;
  int32_t Accel3Visible = 0;
  int32_t NoAccelVisible = 0;
  int32_t CacheFrameDisabled = 0;
  int32_t CacheFrameVisible = 0;
  int32_t SignalFrameVisible = 0;
  int32_t LinkFrameVisible = 0;
  int32_t MailLinkVisible = 0;
  std::string MailAddress;
  std::string MailLinkCaption;
  int32_t WebLinkVisible = 0;
  std::string WebAddress;
  std::string WebLinkCaption;
  int32_t VersionVisible = 0;
  std::string VersionText;
  int32_t RwinValue = 0;
  int32_t MtuValue = 0;

  friend bool operator==(const CustomRecord&, const CustomRecord&) = default;
};

// Where each field lies in the file.
struct CustomNumberField {
  size_t offset;
  int32_t CustomRecord::*member;
};
struct CustomTextField {
  size_t offset;
  size_t width;
  std::string CustomRecord::*member;
  size_t min_length;  // characters a text needs to replace the built-in one
};
struct CustomReservedBytes {
  size_t offset;
  size_t width;
};

inline constexpr std::array<CustomNumberField, 32> kCustomNumberFields = {{
    {516, &CustomRecord::StartLock},
    {589, &CustomRecord::AccPtLabVisible},
    {614, &CustomRecord::UserLocked},
    {618, &CustomRecord::UserVisible},
    {655, &CustomRecord::PassLocked},
    {659, &CustomRecord::PassVisible},
    {696, &CustomRecord::RedialDisabled},
    {700, &CustomRecord::RedialVisible},
    {704, &CustomRecord::RedialValue},
    {708, &CustomRecord::SingleDisabled},
    {712, &CustomRecord::SingleVisible},
    {716, &CustomRecord::SingleValue},
    {720, &CustomRecord::RedialCountLocked},
    {724, &CustomRecord::RedialCountVisible},
    {735, &CustomRecord::RedialIntervalLocked},
    {739, &CustomRecord::RedialIntervalVisible},
    {750, &CustomRecord::StopVisible},
    {754, &CustomRecord::AccelFrameDisabled},
    {758, &CustomRecord::AccelFrameVisible},
    {766, &CustomRecord::Accel1Visible},
    {770, &CustomRecord::Accel2Visible},
    {774, &CustomRecord::Accel3Visible},
    {778, &CustomRecord::NoAccelVisible},
    {782, &CustomRecord::CacheFrameDisabled},
    {786, &CustomRecord::CacheFrameVisible},
    {790, &CustomRecord::SignalFrameVisible},
    {794, &CustomRecord::LinkFrameVisible},
    {798, &CustomRecord::MailLinkVisible},
    {1123, &CustomRecord::WebLinkVisible},
    {1448, &CustomRecord::VersionVisible},
    {1708, &CustomRecord::RwinValue},
    {1712, &CustomRecord::MtuValue},
}};

inline constexpr std::array<CustomTextField, 10> kCustomTextFields = {{
    {520, 65, &CustomRecord::WindowTitle, 2},
    {622, 33, &CustomRecord::UserName, 2},
    {663, 33, &CustomRecord::Password, 2},
    {728, 7, &CustomRecord::RedialCount, 1},
    {743, 7, &CustomRecord::RedialInterval, 1},
    {802, 256, &CustomRecord::MailAddress, 2},
    {1058, 65, &CustomRecord::MailLinkCaption, 2},
    {1127, 256, &CustomRecord::WebAddress, 2},
    {1383, 65, &CustomRecord::WebLinkCaption, 2},
    {1452, 256, &CustomRecord::VersionText, 2},
}};

// Bytes the program does not interpret.
inline constexpr std::array<CustomReservedBytes, 4> kCustomReservedBytes = {{
    {0, 516},
    {585, 4},
    {593, 21},
    {762, 4},
}};

// Reads the record from exactly kSize bytes (the caller decides what a short file means).
CustomRecord decode_custom(std::span<const uint8_t, CustomRecord::kSize> image);

const CustomTextField& custom_text_field(std::string CustomRecord::*member);

// What a text field gives the window, as the program applies it: the field with spaces (not NULs)
// trimmed at both ends, decoded from the code page, taken when it has at least the field's
// least number of characters (NULs count) and shown up to its first NUL. Nothing when the
// built-in text stays.
std::optional<std::string> custom_text_shown(const CustomRecord& record,
                                             const CustomTextField& field, platform::CodePage page);

// The file's bytes: reserved bytes zero, each text cut or padded with spaces to its field.
std::array<uint8_t, CustomRecord::kSize> encode_custom(const CustomRecord& record);

}  // namespace nimbra::shell
