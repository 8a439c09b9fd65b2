// SPDX-License-Identifier: MIT
// Reading the card's replies: the value line, echo removal and numeric fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbra::diag {

// The line two lines before the first line "OK" of a reply split at CR LF; empty when there
// is no "OK" line or it is the first or second line.
std::string ExtractReplyLine(std::string_view reply);

enum class EchoRemoval {
  Guarded,    // only when the echoed command line occurs in the reply
  Unguarded,  // always
};

// Drops as many leading characters as the command has (without its carriage return), so a
// reply that starts with the echo is left starting at the echoed carriage return.
std::string RemoveEcho(std::string_view reply, std::string_view command, EchoRemoval form);

// The number at the start of a fixed-width field. Blanks, tabs, line feeds and carriage
// returns are skipped wherever they stand; conversion stops at the first other character that
// cannot continue the number; no digits give 0.
double NumericField(std::string_view text);

// The field's value as stored: rounded half to even, limited to the type's range.
int16_t NumericField16(std::string_view text);
int32_t NumericField32(std::string_view text);

}  // namespace nimbra::diag
