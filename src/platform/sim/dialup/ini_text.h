// SPDX-License-Identifier: MIT
// Texts of the dial-up service's INI files: any bytes survive a round trip, blanks and control
// characters included, because a value is written in quotes with control bytes and '%' as %XX.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbra::sim {

std::string ini_quoted(std::string_view text);
std::string ini_unquoted(std::string_view value);

// A decimal or 0x-prefixed hexadecimal number; `fallback` when the text is not one.
uint32_t ini_number(std::string_view text, uint32_t fallback);
std::string hex_number(uint32_t value);

}  // namespace nimbra::sim
