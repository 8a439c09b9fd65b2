// The remote-access records the program lays out and reads itself: dial parameters in the NT
// and 9x layouts, the phone-book entry, and connection records. Text fields hold ANSI bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::dialup {

// RASDIALPARAMS: offsets and widths (NUL included) of its text fields.
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

struct DialParams {
  std::string entry_name;
  std::string phone_number;
  std::string callback_number;
  std::string user_name;
  std::string password;
  std::string domain;
};

// A zeroed record with its size field and the texts; a text longer than its field is cut.
std::vector<uint8_t> build_dial_params(const DialParamsLayout& layout, const DialParams& params);

// The texts of a record, each up to its first NUL.
DialParams parse_dial_params(const DialParamsLayout& layout, std::span<const uint8_t> record);

// RASENTRY, the fields the program writes and reads.
namespace entry_record {
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
inline constexpr size_t kDeviceNameWidth = 33;       // records of the 1672-byte default size
inline constexpr size_t kWideDeviceNameWidth = 129;  // all larger records
inline constexpr uint32_t kNarrowDefaultSize = 1672;

// Remote default gateway, LCP extensions off, modem lights, preview phone number and domain,
// CHAP required.
inline constexpr uint32_t kProvisionedOptions = 0x05200130;
inline constexpr uint32_t kProtocolIp = 4;
inline constexpr uint32_t kFramingPpp = 1;
}  // namespace entry_record

// The program's own entry: a zeroed record of `size` bytes for a modem dialling
// `local_phone_number` over IP and PPP. A size too small to hold the fields (the NT 3.x case)
// gives a record of that size with nothing in it, which RAS refuses.
std::vector<uint8_t> build_entry_record(uint32_t size, std::string_view local_phone_number,
                                        std::string_view device_name);

// The width of the device-name field in records of the given default entry size.
size_t device_name_width(uint32_t default_entry_size);

// The device-name field of an entry record as far as the record holds it.
std::span<const uint8_t> device_name_field(std::span<const uint8_t> record,
                                           uint32_t default_entry_size);

// RASCONN: one record's size, and the width of its entry name; the handle is at 4, the name at 8.
struct ConnectionLayout {
  uint32_t record_size;
  size_t entry_name_width;
};
inline constexpr ConnectionLayout kConnections9x{412, 257};
inline constexpr ConnectionLayout kConnectionsNT{32, 21};
inline constexpr size_t kConnectionSlots = 2;

struct ConnectionRecord {
  uint32_t handle = 0;
  std::string entry_name;
};

// A zeroed buffer for two records with the first record's size field set.
std::vector<uint8_t> connection_buffer(const ConnectionLayout& layout);

// The first `count` records of the buffer, as far as the buffer holds them.
std::vector<ConnectionRecord> parse_connections(const ConnectionLayout& layout,
                                                std::span<const uint8_t> buffer, uint32_t count);

}  // namespace nimbra::dialup
