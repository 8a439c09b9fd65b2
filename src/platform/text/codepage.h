// SPDX-License-Identifier: MIT
// Conversion between the program's UTF-8 text and a machine's ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace nimbra::platform {

enum class CodePage { Western = 1252, Japanese = 932 };

// Converts UTF-8 text to the code page. Characters the code page cannot hold become '?', as the
// Windows conversion does with its default character; invalid UTF-8 bytes also become '?'.
std::string to_ansi(std::string_view utf8, CodePage page);

// Converts code-page bytes to UTF-8. Bytes that do not decode become U+FFFD.
std::string from_ansi(std::string_view ansi, CodePage page);

}  // namespace nimbra::platform
