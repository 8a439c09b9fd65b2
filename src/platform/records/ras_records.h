// SPDX-License-Identifier: MIT
// The byte layouts of the remote-access records that cross the Ras interface: the phone-book
// entry (RASENTRY), the dial parameters of both Windows families (RASDIALPARAMS) and the
// connection records (RASCONN). Text fields hold ANSI bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace nimbra::platform {

// The phone-book entry record: its known sizes and the fields the program uses (the rest stays
// zero).
namespace entry_record {
inline constexpr uint32_t kSizeLegacy = 1672;  // the short record whose device name has 33 bytes
inline constexpr uint32_t kSize9x = 1768;
inline constexpr uint32_t kSize2000 = 2088;
inline constexpr uint32_t kSizeXp = 2884;

inline constexpr size_t kSizeField = 0;
inline constexpr size_t kOptions = 4;
inline constexpr size_t kAreaCode = 16;
inline constexpr size_t kAreaCodeWidth = 11;
inline constexpr size_t kLocalPhoneNumber = 27;
inline constexpr size_t kLocalPhoneNumberWidth = 129;
inline constexpr size_t kNetProtocols = 184;
inline constexpr size_t kFramingProtocol = 188;
inline constexpr size_t kDeviceType = 972;
inline constexpr size_t kDeviceTypeWidth = 17;
inline constexpr size_t kDeviceName = 989;
inline constexpr size_t kDeviceNameWidthLegacy = 33;
inline constexpr size_t kDeviceNameWidth = 129;

// The width of the device-name field in records of `record_size` bytes.
inline constexpr size_t device_name_width(uint32_t record_size) {
  return record_size == kSizeLegacy ? kDeviceNameWidthLegacy : kDeviceNameWidth;
}
}  // namespace entry_record

// The dial-parameter record: its size and where each text field sits (width includes the NUL).
struct DialParamsLayout {
  uint32_t size;
  size_t entry_name, entry_name_width;
  size_t phone_number, phone_number_width;
  size_t callback_number, callback_number_width;
  size_t user_name, user_name_width;
  size_t password, password_width;
  size_t domain, domain_width;
};

inline constexpr DialParamsLayout kDialParamsNT{736, 4,   21,  25,  129, 154, 49,
                                                203, 257, 460, 257, 717, 16};
inline constexpr DialParamsLayout kDialParams9x{1052, 4,   257, 261, 129,  390, 129,
                                                519,  257, 776, 257, 1033, 16};

// The texts of a dial-parameter record.
struct DialParams {
  std::string entry_name;
  std::string phone_number;
  std::string callback_number;
  std::string user_name;
  std::string password;
  std::string domain;
  friend bool operator==(const DialParams&, const DialParams&) = default;
};

// The texts of a record, each up to its first NUL; all empty when the record is shorter than
// its layout.
DialParams read_dial_params(std::span<const uint8_t> record, const DialParamsLayout& layout);

// Writes the texts into their fields, each cut so that its NUL fits, leaving the size field and
// the other bytes alone; writes nothing when the record is shorter than its layout.
void write_dial_params(std::span<uint8_t> record, const DialParamsLayout& layout,
                       const DialParams& params);

// The connection record: 412 bytes on the 9x family, 32 on the NT family.
struct ConnectionLayout {
  uint32_t size;
  size_t handle;
  size_t entry_name, entry_name_width;
  size_t device_type, device_type_width;  // width 0: the layout has no such field
  size_t device_name, device_name_width;
};

inline constexpr ConnectionLayout kConnections9x{412, 4, 8, 257, 265, 17, 282, 129};
inline constexpr ConnectionLayout kConnectionsNT{32, 4, 8, 21, 0, 0, 0, 0};

}  // namespace nimbra::platform
