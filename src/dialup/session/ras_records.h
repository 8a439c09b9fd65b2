// SPDX-License-Identifier: MIT
// The remote-access records the program lays out and reads itself: zeroed dial parameters, its
// own phone-book entry, and the connection records it asks RAS for.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/records/ras_records.h"

namespace nimbra::dialup {

// A zeroed record with its size field and the texts; a text longer than its field is cut.
std::vector<uint8_t> build_dial_params(const platform::DialParamsLayout& layout,
                                       const platform::DialParams& params);

// The program's own entry: a zeroed record of `size` bytes for a modem dialling
// `local_phone_number` over IP and PPP. A size too small to hold the fields (the NT 3.x case)
// gives a record of that size with nothing in it, which RAS refuses.
std::vector<uint8_t> build_entry_record(uint32_t size, std::string_view local_phone_number,
                                        std::string_view device_name);

// The device-name field of an entry record as far as the record holds it.
std::span<const uint8_t> device_name_field(std::span<const uint8_t> record,
                                           uint32_t default_entry_size);

// The program asks for two connection records at a time.
inline constexpr size_t kConnectionSlots = 2;

struct ConnectionRecord {
  uint32_t handle = 0;
  std::string entry_name;
};

// Room for the records of either layout. The status tick enumerates the connections ten times a
// second; on the stack, the buffer costs it no trip through the heap.
using ConnectionStorage =
    std::array<uint8_t, kConnectionSlots *
                            std::max(platform::kConnections9x.size, platform::kConnectionsNT.size)>;

// The part of `storage` for two records of `layout`, zeroed, with the first record's size field
// set.
std::span<uint8_t> connection_buffer(const platform::ConnectionLayout& layout,
                                     ConnectionStorage& storage);

// The first `count` records of the buffer, as far as the buffer holds them.
std::vector<ConnectionRecord> parse_connections(const platform::ConnectionLayout& layout,
                                                std::span<const uint8_t> buffer, uint32_t count);

}  // namespace nimbra::dialup
