// SPDX-License-Identifier: MIT
// "Delete cache" on the Accelerator page: the browser cache's source URLs are collected into
// List1 in a first pass and their entries deleted one by one in a second, with the progress
// painted as it goes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "shell/app_context.h"

namespace nimbra::accel {

// The fixed part of a cache entry record as the program keeps its own copy of it.
struct CacheEntryHeader {
  uint32_t struct_size = 0;
  uint32_t source_url = 0;  // where the source URL starts in the record; 0 for none
};

// The header of `record`; all zero when the record is shorter than the header.
CacheEntryHeader copy_entry_header(std::span<const uint8_t> record);

// The source URL text (ANSI) the header refers to: read inside the record only, up to its NUL
// or the record's end. Nothing when the header names none or a place outside the record's texts.
std::optional<std::string> source_url_of(const CacheEntryHeader& header,
                                         std::span<const uint8_t> record);

// Both passes; ends with CheckCash cleared and the progress controls hidden. No failure is
// shown: an entry that cannot be deleted stays.
void DeleteBrowserCache(shell::AppContext& app);

}  // namespace nimbra::accel
