#include "dialup/ras_records.h"

#include <algorithm>

#include "platform/bytes.h"

namespace nimbra::dialup {

namespace {

constexpr size_t kConnectionHandle = 4;
constexpr size_t kConnectionEntryName = 8;

}  // namespace

std::vector<uint8_t> build_dial_params(const DialParamsLayout& layout, const DialParams& params) {
  std::vector<uint8_t> record(layout.size, 0);
  bytes::put_u32(record, 0, layout.size);
  bytes::put_cstr(record, layout.entry_name, layout.entry_name_width, params.entry_name);
  bytes::put_cstr(record, layout.phone_number, layout.phone_number_width, params.phone_number);
  bytes::put_cstr(record, layout.callback_number, layout.callback_number_width,
                  params.callback_number);
  bytes::put_cstr(record, layout.user_name, layout.user_name_width, params.user_name);
  bytes::put_cstr(record, layout.password, layout.password_width, params.password);
  bytes::put_cstr(record, layout.domain, layout.domain_width, params.domain);
  return record;
}

DialParams parse_dial_params(const DialParamsLayout& layout, std::span<const uint8_t> record) {
  if (record.size() < layout.size) return {};
  return {bytes::get_cstr(record, layout.entry_name, layout.entry_name_width),
          bytes::get_cstr(record, layout.phone_number, layout.phone_number_width),
          bytes::get_cstr(record, layout.callback_number, layout.callback_number_width),
          bytes::get_cstr(record, layout.user_name, layout.user_name_width),
          bytes::get_cstr(record, layout.password, layout.password_width),
          bytes::get_cstr(record, layout.domain, layout.domain_width)};
}

std::vector<uint8_t> build_entry_record(uint32_t size, std::string_view local_phone_number,
                                        std::string_view device_name) {
  namespace er = entry_record;
  std::vector<uint8_t> record(size, 0);
  if (size < er::kDeviceName + er::kDeviceNameWidth) return record;
  bytes::put_u32(record, 0, size);
  bytes::put_u32(record, er::kOptions, er::kProvisionedOptions);
  bytes::put_cstr(record, er::kAreaCode, er::kAreaCodeWidth, "03");
  bytes::put_cstr(record, er::kLocalPhoneNumber, er::kLocalPhoneNumberWidth, local_phone_number);
  bytes::put_u32(record, er::kNetProtocols, er::kProtocolIp);
  bytes::put_u32(record, er::kFramingProtocol, er::kFramingPpp);
  bytes::put_cstr(record, er::kDeviceType, er::kDeviceTypeWidth, "modem");
  bytes::put_cstr(record, er::kDeviceName, er::kDeviceNameWidth, device_name);
  return record;
}

size_t device_name_width(uint32_t default_entry_size) {
  return default_entry_size == entry_record::kNarrowDefaultSize
             ? entry_record::kDeviceNameWidth
             : entry_record::kWideDeviceNameWidth;
}

std::span<const uint8_t> device_name_field(std::span<const uint8_t> record,
                                           uint32_t default_entry_size) {
  if (record.size() <= entry_record::kDeviceName) return {};
  const auto rest = record.subspan(entry_record::kDeviceName);
  return rest.first(std::min(rest.size(), device_name_width(default_entry_size)));
}

std::vector<uint8_t> connection_buffer(const ConnectionLayout& layout) {
  std::vector<uint8_t> buffer(layout.record_size * kConnectionSlots, 0);
  bytes::put_u32(buffer, 0, layout.record_size);
  return buffer;
}

std::vector<ConnectionRecord> parse_connections(const ConnectionLayout& layout,
                                                std::span<const uint8_t> buffer, uint32_t count) {
  std::vector<ConnectionRecord> records;
  for (size_t i = 0; i < count && (i + 1) * layout.record_size <= buffer.size(); ++i) {
    const auto record = buffer.subspan(i * layout.record_size, layout.record_size);
    records.push_back({bytes::get_u32(record, kConnectionHandle),
                       bytes::get_cstr(record, kConnectionEntryName, layout.entry_name_width)});
  }
  return records;
}

}  // namespace nimbra::dialup
