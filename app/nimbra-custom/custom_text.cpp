// SPDX-License-Identifier: MIT
#include "custom_text.h"

#include <cstdio>

namespace nimbra::custom {

namespace {

// The length of the UTF-8 sequence at the start of `s` and its code point; 0 when it is not
// one (overlong forms and surrogates included).
size_t utf8_sequence(std::string_view s, char32_t& code_point) {
  const auto byte = [&s](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  size_t length = 0;
  char32_t least = 0;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, least = 0x80, code_point = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, least = 0x800, code_point = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, least = 0x10000, code_point = lead & 0x07;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code_point = (code_point << 6) | (byte(i) & 0x3F);
  }
  const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  return code_point < least || code_point > 0x10FFFF || surrogate ? 0 : length;
}

std::string code_point_name(char32_t c) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
  return name;
}

}  // namespace

std::string code_page_name(platform::CodePage page) {
  return page == platform::CodePage::Japanese ? "code page 932 (Japanese)"
                                              : "code page 1252 (Western)";
}

std::optional<std::string> encode_text(std::string_view utf8, platform::CodePage page,
                                       std::string* problem) {
  std::string out;
  while (!utf8.empty()) {
    char32_t c = 0;
    const size_t length = utf8_sequence(utf8, c);
    if (length == 0) {
      *problem = "the text is not UTF-8";
      return std::nullopt;
    }
    const std::string_view character = utf8.substr(0, length);
    utf8.remove_prefix(length);
    if (c < 0x20 || c == 0x7F) {
      *problem = "a control character (" + code_point_name(c) + ") cannot be written";
      return std::nullopt;
    }
    const std::string ansi = platform::to_ansi(character, page);
    if (platform::from_ansi(ansi, page) != character) {
      *problem = "the character \"" + std::string(character) + "\" (" + code_point_name(c) +
                 ") is not in " + code_page_name(page);
      return std::nullopt;
    }
    out += ansi;
  }
  return out;
}

std::optional<std::string> writable_text(std::string_view field, platform::CodePage page) {
  const size_t end = field.find_last_not_of(' ');
  const std::string_view body = end == std::string_view::npos ? "" : field.substr(0, end + 1);
  if (!body.empty() && body.front() == ' ') return std::nullopt;
  const std::string text = platform::from_ansi(body, page);
  std::string problem;
  if (encode_text(text, page, &problem) != body) return std::nullopt;
  return text;
}

}  // namespace nimbra::custom
