// The customisation file's record: a distributor's title, presets, locks, visibility flags,
// link targets, version text and recommended TCP/IP values, as the 1716 bytes of nimbra1.ssd
// lay them out. The program only reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

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

// Reads the record from exactly kSize bytes (the caller decides what a short file means).
CustomRecord decode_custom(std::span<const uint8_t, CustomRecord::kSize> image);

}  // namespace nimbra::shell
