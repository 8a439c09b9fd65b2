// SPDX-License-Identifier: MIT
// UTF-8 checks and UTF-8 <-> UTF-16LE conversion for the registry's text, which Windows keeps
// as UTF-16 and this program as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::platform {

// Well-formed UTF-8: shortest forms only, no surrogate code points, nothing above U+10FFFF.
bool is_valid_utf8(std::string_view text);

// The number of UTF-16 code units `utf8` (which must be valid) takes: the length Windows counts.
size_t utf16_length(std::string_view utf8);

// UTF-8 to UTF-16LE bytes, NULs kept; a byte that is not well-formed UTF-8 becomes U+FFFD.
std::vector<uint8_t> utf8_to_utf16le(std::string_view utf8);

// UTF-16LE bytes to UTF-8; nothing for an odd byte count or an unpaired surrogate.
std::optional<std::string> utf16le_to_utf8(std::span<const uint8_t> bytes);

}  // namespace nimbra::platform
