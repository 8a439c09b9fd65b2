// SPDX-License-Identifier: MIT
#include "platform/records/ras_records.h"

#include "platform/text/bytes.h"

namespace nimbra::platform {

DialParams read_dial_params(std::span<const uint8_t> record, const DialParamsLayout& l) {
  if (record.size() < l.size) return {};
  return DialParams{bytes::get_cstr(record, l.entry_name, l.entry_name_width),
                    bytes::get_cstr(record, l.phone_number, l.phone_number_width),
                    bytes::get_cstr(record, l.callback_number, l.callback_number_width),
                    bytes::get_cstr(record, l.user_name, l.user_name_width),
                    bytes::get_cstr(record, l.password, l.password_width),
                    bytes::get_cstr(record, l.domain, l.domain_width)};
}

void write_dial_params(std::span<uint8_t> record, const DialParamsLayout& l, const DialParams& p) {
  if (record.size() < l.size) return;
  bytes::put_cstr(record, l.entry_name, l.entry_name_width, p.entry_name);
  bytes::put_cstr(record, l.phone_number, l.phone_number_width, p.phone_number);
  bytes::put_cstr(record, l.callback_number, l.callback_number_width, p.callback_number);
  bytes::put_cstr(record, l.user_name, l.user_name_width, p.user_name);
  bytes::put_cstr(record, l.password, l.password_width, p.password);
  bytes::put_cstr(record, l.domain, l.domain_width, p.domain);
}

}  // namespace nimbra::platform
