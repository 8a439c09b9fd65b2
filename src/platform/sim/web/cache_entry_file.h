// SPDX-License-Identifier: MIT
// One entry of the simulated browser cache, as a file of its own in the cache folder:
//
//   <source URL> LF <the cached document, any bytes>
//
// The URL is 1 to 2083 characters of ANSI text without control characters. The file is named
// after the URL: the 16 lower-case hex digits of the URL's 64-bit FNV-1a hash, then ".entry";
// URLs whose hashes collide take "-1" to "-15" before the extension.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::sim::cache_entry_file {

inline constexpr size_t kMaxUrlLength = 2083;
inline constexpr int kSlots = 16;  // file names one URL may take
inline constexpr std::string_view kExtension = ".entry";

struct Header {
  std::string url;
  size_t document_offset = 0;  // where the cached document starts in the file
};

// The header of a file that begins with `bytes` (the first kMaxUrlLength + 1 bytes suffice);
// nothing when the bytes are not an entry.
std::optional<Header> parse(std::span<const uint8_t> bytes);

// A whole entry file; nothing for a URL that an entry cannot hold.
std::optional<std::vector<uint8_t>> format(std::string_view url, std::span<const uint8_t> document);

// The file name of slot 0 to kSlots - 1 of `url`.
std::string file_name(std::string_view url, int slot);

}  // namespace nimbra::sim::cache_entry_file
