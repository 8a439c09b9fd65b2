// SPDX-License-Identifier: MIT
// Texts between the distributor's UTF-8 and the code page of the machine the file is made for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text/codepage.h"

namespace nimbra::custom {

// The text in the code page, character by character, or nothing with `problem` saying what
// cannot be written: bytes that are not UTF-8, a control character, or a character the code
// page does not hold (one that would not come back the same).
std::optional<std::string> encode_text(std::string_view utf8, platform::CodePage page,
                                       std::string* problem);

// The field's text when the field is exactly what build writes for it (the text from the
// field's first byte, then spaces); nothing when build could not give back these bytes.
std::optional<std::string> writable_text(std::string_view field, platform::CodePage page);

std::string code_page_name(platform::CodePage page);

}  // namespace nimbra::custom
