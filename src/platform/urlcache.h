// SPDX-License-Identifier: MIT
// The browser's URL cache: walking its entries and deleting an entry by its source URL.
//
// An entry comes back as a record of a fixed 84-byte header followed by the texts it refers to.
// The header's references are byte offsets from the start of the record, never addresses, so a
// 64-bit program follows none: it reads a text only where the offset lands inside the record it
// was given, and only up to the record's end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace nimbra::platform {

// Layout of the entry record, little-endian.
namespace cache_entry_record {
inline constexpr size_t kHeaderSize = 84;
inline constexpr size_t kStructSize = 0;     // 84
inline constexpr size_t kSourceUrl = 4;      // offset of the source URL text (NUL-terminated)
inline constexpr size_t kLocalFile = 8;      // offset of the local file name (NUL-terminated)
inline constexpr size_t kEntryType = 12;     // kNormalEntry
inline constexpr size_t kSizeLow = 24;       // size of the cached document, low and high
inline constexpr size_t kSizeHigh = 28;      // 32 bits
inline constexpr uint32_t kNormalEntry = 1;  // NORMAL_CACHE_ENTRY
}  // namespace cache_entry_record

using CacheSearch = uint32_t;  // 0 stands for no search

// Results besides ERROR_SUCCESS and ERROR_NO_MORE_ITEMS (registry.h).
inline constexpr int32_t ERROR_INSUFFICIENT_BUFFER = 122;

class UrlCache {
 public:
  virtual ~UrlCache() = default;

  // Starts a walk over the entries whose URL begins with `pattern` (absent: all entries) and
  // copies the first entry's record into `entry`, of which `size` bytes are offered. Returns
  // ERROR_SUCCESS with the search in `search`; ERROR_INSUFFICIENT_BUFFER with `size` set to the
  // record's size when it does not fit (no search is started); ERROR_NO_MORE_ITEMS with `size`
  // 0 when there is no entry.
  virtual int32_t FindFirstUrlCacheEntryA(std::optional<std::string_view> pattern,
                                          std::span<uint8_t> entry, uint32_t& size,
                                          CacheSearch& search) = 0;

  // The search's next entry, as above; an entry that does not fit stays the next one.
  // ERROR_INVALID_HANDLE for an unknown search.
  virtual int32_t FindNextUrlCacheEntryA(CacheSearch search, std::span<uint8_t> entry,
                                         uint32_t& size) = 0;

  virtual bool FindCloseUrlCache(CacheSearch search) = 0;

  // Removes the entry of `url` and its cached document; false when there is none.
  virtual bool DeleteUrlCacheEntryA(std::string_view url) = 0;
};

}  // namespace nimbra::platform
