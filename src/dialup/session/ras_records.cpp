// SPDX-License-Identifier: MIT
#include "dialup/session/ras_records.h"

#include <algorithm>

#include "platform/text/bytes.h"

namespace nimbra::dialup {

namespace {

namespace er = platform::entry_record;

// Remote default gateway, LCP extensions off, modem lights, preview phone number and domain,
// CHAP required.
constexpr uint32_t kProvisionedOptions = 0x05200130;
constexpr uint32_t kProtocolIp = 4;
constexpr uint32_t kFramingPpp = 1;

}  // namespace

std::vector<uint8_t> build_dial_params(const platform::DialParamsLayout& layout,
                                       const platform::DialParams& params) {
  std::vector<uint8_t> record(layout.size, 0);
  bytes::put_u32(record, 0, layout.size);
  platform::write_dial_params(record, layout, params);
  return record;
}

std::vector<uint8_t> build_entry_record(uint32_t size, std::string_view local_phone_number,
                                        std::string_view device_name) {
  std::vector<uint8_t> record(size, 0);
  // The program writes the device name in the legacy width whatever the record's size.
  if (size < er::kDeviceName + er::kDeviceNameWidthLegacy) return record;
  bytes::put_u32(record, er::kSizeField, size);
  bytes::put_u32(record, er::kOptions, kProvisionedOptions);
  bytes::put_cstr(record, er::kAreaCode, er::kAreaCodeWidth, "03");
  bytes::put_cstr(record, er::kLocalPhoneNumber, er::kLocalPhoneNumberWidth, local_phone_number);
  bytes::put_u32(record, er::kNetProtocols, kProtocolIp);
  bytes::put_u32(record, er::kFramingProtocol, kFramingPpp);
  bytes::put_cstr(record, er::kDeviceType, er::kDeviceTypeWidth, "modem");
  bytes::put_cstr(record, er::kDeviceName, er::kDeviceNameWidthLegacy, device_name);
  return record;
}

std::span<const uint8_t> device_name_field(std::span<const uint8_t> record,
                                           uint32_t default_entry_size) {
  if (record.size() <= er::kDeviceName) return {};
  const auto rest = record.subspan(er::kDeviceName);
  return rest.first(std::min(rest.size(), er::device_name_width(default_entry_size)));
}

std::span<uint8_t> connection_buffer(const platform::ConnectionLayout& layout,
                                     ConnectionStorage& storage) {
  const auto buffer = std::span(storage).first(layout.size * kConnectionSlots);
  std::fill(buffer.begin(), buffer.end(), uint8_t{0});
  bytes::put_u32(buffer, 0, layout.size);
  return buffer;
}

std::vector<ConnectionRecord> parse_connections(const platform::ConnectionLayout& layout,
                                                std::span<const uint8_t> buffer, uint32_t count) {
  std::vector<ConnectionRecord> records;
  for (size_t i = 0; i < count && (i + 1) * layout.size <= buffer.size(); ++i) {
    const auto record = buffer.subspan(i * layout.size, layout.size);
    records.push_back({bytes::get_u32(record, layout.handle),
                       bytes::get_cstr(record, layout.entry_name, layout.entry_name_width)});
  }
  return records;
}

}  // namespace nimbra::dialup
