// The byte layouts of the remote-access records that cross the Ras interface: the phone-book
// entry, the dial parameters of both Windows families and the connection records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace nimbra::sim {

// The phone-book entry record (the fields the program uses; the rest stays zero).
namespace entry_record {
inline constexpr uint32_t kSize9x = 1768;
inline constexpr uint32_t kSizeLegacy = 1672;  // the short record whose device name has 33 bytes
inline constexpr uint32_t kSize2000 = 2088;
inline constexpr uint32_t kSizeXp = 2884;

inline constexpr size_t kSizeField = 0;
inline constexpr size_t kOptions = 4;
inline constexpr size_t kCountryId = 8;
inline constexpr size_t kCountryCode = 12;
inline constexpr size_t kAreaCode = 16;
inline constexpr size_t kAreaCodeWidth = 11;
inline constexpr size_t kLocalPhone = 27;
inline constexpr size_t kLocalPhoneWidth = 129;
inline constexpr size_t kProtocols = 184;
inline constexpr size_t kFraming = 188;
inline constexpr size_t kDeviceType = 972;
inline constexpr size_t kDeviceTypeWidth = 17;
inline constexpr size_t kDeviceName = 989;
inline constexpr size_t kDeviceNameWidthLegacy = 33;
inline constexpr size_t kDeviceNameWidth = 129;

inline size_t device_name_width(uint32_t record_size) {
  return record_size == kSizeLegacy ? kDeviceNameWidthLegacy : kDeviceNameWidth;
}
}  // namespace entry_record

// The dial-parameter record: where each text field sits in the family's layout.
struct DialParamsLayout {
  uint32_t size;
  size_t entry, entry_width;
  size_t phone, phone_width;
  size_t callback, callback_width;
  size_t user, user_width;
  size_t password, password_width;
  size_t domain, domain_width;
};

inline constexpr DialParamsLayout kDialParamsNt{736, 4,   21,  25,  129, 154, 49,
                                                203, 257, 460, 257, 717, 16};
inline constexpr DialParamsLayout kDialParams9x{1052, 4,   257, 261, 129,  390, 129,
                                                519,  257, 776, 257, 1033, 16};

// The texts of a dial-parameter record (ANSI).
struct DialParams {
  std::string entry;
  std::string phone;
  std::string callback;
  std::string user;
  std::string password;
  std::string domain;
  friend bool operator==(const DialParams&, const DialParams&) = default;
};

DialParams read_dial_params(std::span<const uint8_t> record, const DialParamsLayout& layout);
// Writes the texts into their fields (cut to fit), leaving the size field and other bytes alone.
void write_dial_params(std::span<uint8_t> record, const DialParamsLayout& layout,
                       const DialParams& params);

// The connection record: 412 bytes on the 9x family, 32 on the NT family.
struct ConnectionLayout {
  uint32_t size;
  size_t handle;
  size_t entry, entry_width;
  size_t device_type, device_type_width;  // width 0: the layout has no such field
  size_t device_name, device_name_width;
};

inline constexpr ConnectionLayout kConnection9x{412, 4, 8, 257, 265, 17, 282, 129};
inline constexpr ConnectionLayout kConnectionNt{32, 4, 8, 21, 0, 0, 0, 0};

}  // namespace nimbra::sim
