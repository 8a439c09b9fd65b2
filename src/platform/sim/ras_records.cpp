#include "platform/sim/ras_records.h"

#include "platform/bytes.h"

namespace nimbra::sim {

DialParams read_dial_params(std::span<const uint8_t> record, const DialParamsLayout& l) {
  return DialParams{bytes::get_cstr(record, l.entry, l.entry_width),
                    bytes::get_cstr(record, l.phone, l.phone_width),
                    bytes::get_cstr(record, l.callback, l.callback_width),
                    bytes::get_cstr(record, l.user, l.user_width),
                    bytes::get_cstr(record, l.password, l.password_width),
                    bytes::get_cstr(record, l.domain, l.domain_width)};
}

void write_dial_params(std::span<uint8_t> record, const DialParamsLayout& l, const DialParams& p) {
  bytes::put_cstr(record, l.entry, l.entry_width, p.entry);
  bytes::put_cstr(record, l.phone, l.phone_width, p.phone);
  bytes::put_cstr(record, l.callback, l.callback_width, p.callback);
  bytes::put_cstr(record, l.user, l.user_width, p.user);
  bytes::put_cstr(record, l.password, l.password_width, p.password);
  bytes::put_cstr(record, l.domain, l.domain_width, p.domain);
}

}  // namespace nimbra::sim
