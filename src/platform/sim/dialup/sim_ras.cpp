// SPDX-License-Identifier: MIT
#include "platform/sim/dialup/sim_ras.h"

#include <algorithm>

#include "platform/text/bytes.h"
#include "platform/text/ini_file.h"
#include "platform/sim/dialup/ras_error_texts.h"

namespace nimbra::sim {

namespace {

using namespace platform;
namespace er = platform::entry_record;

constexpr size_t kMaxEntryName = 256;

// The simulated service keeps one phone book, the system's; a named file cannot be opened.
bool default_phonebook(OptText phonebook) {
  return !phonebook || phonebook->empty();
}

bool valid_entry_name(std::string_view name) {
  return !name.empty() && name.size() <= kMaxEntryName && trim_blanks(name) == name &&
         std::none_of(name.begin(), name.end(), [](char c) {
           return static_cast<unsigned char>(c) < 0x20 || c == '[' || c == ']';
         });
}

void fill_entry_record(std::span<uint8_t> record, uint32_t size, const EntryProperties& p) {
  std::fill(record.begin(), record.begin() + size, uint8_t{0});
  bytes::put_u32(record, er::kSizeField, size);
  bytes::put_u32(record, er::kOptions, p.options);
  bytes::put_cstr(record, er::kAreaCode, er::kAreaCodeWidth, p.area_code);
  bytes::put_cstr(record, er::kLocalPhoneNumber, er::kLocalPhoneNumberWidth, p.local_phone);
  bytes::put_u32(record, er::kNetProtocols, p.protocols);
  bytes::put_u32(record, er::kFramingProtocol, p.framing);
  bytes::put_cstr(record, er::kDeviceType, er::kDeviceTypeWidth, p.device_type);
  bytes::put_cstr(record, er::kDeviceName, er::device_name_width(size), p.device_name);
}

EntryProperties read_entry_record(std::span<const uint8_t> record, uint32_t size) {
  EntryProperties p;
  p.record_size = size;
  p.options = bytes::get_u32(record, er::kOptions);
  p.area_code = bytes::get_cstr(record, er::kAreaCode, er::kAreaCodeWidth);
  p.local_phone = bytes::get_cstr(record, er::kLocalPhoneNumber, er::kLocalPhoneNumberWidth);
  p.protocols = bytes::get_u32(record, er::kNetProtocols);
  p.framing = bytes::get_u32(record, er::kFramingProtocol);
  p.device_type = bytes::get_cstr(record, er::kDeviceType, er::kDeviceTypeWidth);
  p.device_name = bytes::get_cstr(record, er::kDeviceName, er::device_name_width(size));
  return p;
}

}  // namespace

SimRas::SimRas(DialupService& service, Window& window) : service_(service), window_(window) {}

SimRas::~SimRas() {
  service_.forget(this);
}

const DialParamsLayout& SimRas::dial_params_layout() const {
  return service_.settings().nt_family ? kDialParamsNT : kDialParams9x;
}

const ConnectionLayout& SimRas::connection_layout() const {
  return service_.settings().nt_family ? kConnectionsNT : kConnections9x;
}

uint32_t SimRas::check_dial_params(std::span<const uint8_t> params) const {
  const uint32_t size = dial_params_layout().size;
  if (params.size() < size || bytes::get_u32(params, 0) != size) return ERROR_INVALID_SIZE;
  return RAS_SUCCESS;
}

uint32_t SimRas::RasGetEntryPropertiesA(OptText phonebook, OptText entry, std::span<uint8_t> record,
                                        uint32_t& size) {
  if (!default_phonebook(phonebook)) return ERROR_CANNOT_OPEN_PHONEBOOK;
  const DialupSettings& settings = service_.settings();
  std::optional<PhonebookEntry> found;
  if (entry && !entry->empty()) {
    found = service_.phonebook().find(*entry);
    if (!found) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  }
  if (record.empty()) {
    size = settings.entry_size;
    return ERROR_BUFFER_TOO_SMALL;
  }
  if (record.size() < 4) return ERROR_INVALID_SIZE;
  const uint32_t record_size = bytes::get_u32(record, er::kSizeField);
  if (!settings.entry_sizes.contains(record_size)) return ERROR_INVALID_SIZE;
  if (record.size() < record_size) {
    size = record_size;
    return ERROR_BUFFER_TOO_SMALL;
  }
  // Without an entry name RAS answers with the properties of a new entry.
  fill_entry_record(record, record_size, found ? found->properties : EntryProperties{});
  size = record_size;
  return RAS_SUCCESS;
}

uint32_t SimRas::RasSetEntryPropertiesA(OptText phonebook, std::string_view entry,
                                        std::span<const uint8_t> record) {
  if (!default_phonebook(phonebook)) return ERROR_CANNOT_OPEN_PHONEBOOK;
  if (!valid_entry_name(entry)) return ERROR_INVALID_NAME_RAS;
  if (record.size() < 4) return ERROR_INVALID_SIZE;
  const uint32_t record_size = bytes::get_u32(record, er::kSizeField);
  if (!service_.settings().entry_sizes.contains(record_size) || record.size() < record_size) {
    return ERROR_INVALID_SIZE;
  }
  const EntryProperties properties = read_entry_record(record, record_size);
  if (!iequals(properties.device_type, "modem")) return ERROR_DEVICETYPE_DOES_NOT_EXIST;
  const auto modems = service_.modems();
  if (std::none_of(modems.begin(), modems.end(),
                   [&](const RasModem& m) { return m.name == properties.device_name; })) {
    return ERROR_DEVICE_DOES_NOT_EXIST;
  }
  return service_.phonebook().store_properties(entry, properties) ? RAS_SUCCESS
                                                                  : ERROR_CANNOT_WRITE_PHONEBOOK;
}

uint32_t SimRas::RasGetEntryDialParamsA(OptText phonebook, std::span<uint8_t> params,
                                        bool& password_stored) {
  if (!default_phonebook(phonebook)) return ERROR_CANNOT_OPEN_PHONEBOOK;
  if (const uint32_t error = check_dial_params(params)) return error;
  const DialParamsLayout& layout = dial_params_layout();
  const std::string name = bytes::get_cstr(params, layout.entry_name, layout.entry_name_width);
  const auto found = service_.phonebook().find(name);
  if (!found) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  DialParams stored = found->dial;
  stored.entry_name = name;
  write_dial_params(params, layout, stored);
  password_stored = !stored.password.empty();
  return RAS_SUCCESS;
}

uint32_t SimRas::RasSetEntryDialParamsA(OptText phonebook, std::span<const uint8_t> params,
                                        bool remove_password) {
  if (!default_phonebook(phonebook)) return ERROR_CANNOT_OPEN_PHONEBOOK;
  if (const uint32_t error = check_dial_params(params)) return error;
  const DialParams given = read_dial_params(params, dial_params_layout());
  if (!service_.phonebook().find(given.entry_name)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  return service_.phonebook().store_dial_params(given.entry_name, given, remove_password)
             ? RAS_SUCCESS
             : ERROR_CANNOT_WRITE_PHONEBOOK;
}

uint32_t SimRas::RasDialA(OptText phonebook, std::span<const uint8_t> params,
                          uint32_t notifier_type, Hwnd notifier, HRASCONN& connection) {
  connection = 0;
  if (!default_phonebook(phonebook)) return ERROR_CANNOT_OPEN_PHONEBOOK;
  if (const uint32_t error = check_dial_params(params)) return error;
  DialupService::Notify notify;
  if (notifier_type == kNotifierWindow && notifier != 0) {
    const uint32_t message = window_.RegisterWindowMessageA(kRasDialEventName);
    notify = [&window = window_, notifier, message](uint32_t state, uint32_t error) {
      window.PostMessageA(notifier, message, state, static_cast<intptr_t>(error));
    };
  }
  return service_.dial(read_dial_params(params, dial_params_layout()), std::move(notify), this,
                       connection);
}

uint32_t SimRas::RasHangUpA(HRASCONN connection) {
  return service_.hang_up(connection);
}

uint32_t SimRas::RasEnumConnectionsA(std::span<uint8_t> buffer, uint32_t& size, uint32_t& count) {
  const ConnectionLayout& layout = connection_layout();
  const size_t capacity = std::min<size_t>(size, buffer.size());
  if (capacity < layout.size || bytes::get_u32(buffer, 0) != layout.size) {
    return ERROR_INVALID_SIZE;
  }
  const std::vector<Connection> up = service_.connections();
  const auto needed = static_cast<uint32_t>(up.size() * layout.size);
  count = static_cast<uint32_t>(up.size());
  if (needed > capacity) {
    size = needed;
    return ERROR_BUFFER_TOO_SMALL;
  }
  for (size_t i = 0; i < up.size(); ++i) {
    const auto record = buffer.subspan(i * layout.size, layout.size);
    std::fill(record.begin(), record.end(), uint8_t{0});
    bytes::put_u32(record, 0, layout.size);
    bytes::put_u32(record, layout.handle, up[i].handle);
    bytes::put_cstr(record, layout.entry_name, layout.entry_name_width, up[i].entry);
    if (layout.device_type_width > 0) {
      bytes::put_cstr(record, layout.device_type, layout.device_type_width, up[i].device_type);
      bytes::put_cstr(record, layout.device_name, layout.device_name_width, up[i].device_name);
    }
  }
  size = needed;
  return RAS_SUCCESS;
}

uint32_t SimRas::RasGetErrorStringA(uint32_t error, std::span<char> buffer) {
  if (buffer.empty()) return ERROR_BUFFER_TOO_SMALL;
  const auto text = ras_error_text(error, service_.language());
  if (!text) {
    buffer[0] = '\0';
    return ERROR_INVALID_PARAMETER_RAS;
  }
  const std::string ansi = to_ansi(*text, service_.code_page());
  const size_t n = std::min(ansi.size(), buffer.size() - 1);
  std::copy_n(ansi.begin(), n, buffer.begin());
  buffer[n] = '\0';
  return RAS_SUCCESS;
}

}  // namespace nimbra::sim
