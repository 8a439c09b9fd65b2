// SPDX-License-Identifier: MIT
// The remote-access records the program reads from RAS: connection records (a count and two
// records), the device name of an entry record, and dial parameters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "dialup/session/ras_records.h"
#include "platform/text/bytes.h"
#include "platform/records/ras_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  if (size < 5) return 0;
  const std::span<const uint8_t> input(data, size);
  const uint32_t count = bytes::get_u32(input, 0);
  const bool nt = (input[4] & 1) != 0;
  const auto rest = input.subspan(5);
  dialup::parse_connections(nt ? platform::kConnectionsNT : platform::kConnections9x, rest, count);
  const auto field = dialup::device_name_field(rest, count);
  if (bytes::get_cstr(field, 0, field.size()).size() > 129) std::abort();
  platform::read_dial_params(rest, nt ? platform::kDialParamsNT : platform::kDialParams9x);
  return 0;
}
