// SPDX-License-Identifier: MIT
#include "platform/text/utf16.h"

namespace nimbra::platform {

namespace {

// Decodes the sequence at `pos`; advances `pos` past it. Nothing when it is not well-formed.
std::optional<char32_t> decode_utf8(std::string_view text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  size_t length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07u, minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() - pos < length) return std::nullopt;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = (code << 6) | (next & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return std::nullopt;
  }
  pos += length;
  return code;
}

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void append_unit(std::vector<uint8_t>& out, char32_t unit) {
  out.push_back(static_cast<uint8_t>(unit & 0xFF));
  out.push_back(static_cast<uint8_t>((unit >> 8) & 0xFF));
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (!decode_utf8(text, pos)) return false;
  }
  return true;
}

size_t utf16_length(std::string_view utf8) {
  size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++units;  // one unit per lead byte ...
    if (byte >= 0xF0) ++units;           // ... and a second for a surrogate pair
  }
  return units;
}

std::vector<uint8_t> utf8_to_utf16le(std::string_view utf8) {
  std::vector<uint8_t> out;
  out.reserve(utf8.size() * 2);
  size_t pos = 0;
  while (pos < utf8.size()) {
    size_t next = pos;
    const char32_t code = decode_utf8(utf8, next).value_or(0xFFFD);
    pos = next > pos ? next : pos + 1;
    if (code < 0x10000) {
      append_unit(out, code);
    } else {
      append_unit(out, 0xD800 + ((code - 0x10000) >> 10));
      append_unit(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::optional<std::string> utf16le_to_utf8(std::span<const uint8_t> bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const char32_t unit = bytes[i] | (static_cast<char32_t>(bytes[i + 1]) << 8);
    if (unit >= 0xDC00 && unit <= 0xDFFF) return std::nullopt;
    if (unit < 0xD800 || unit > 0xDBFF) {
      append_utf8(out, unit);
      continue;
    }
    if (i + 3 >= bytes.size()) return std::nullopt;
    const char32_t low = bytes[i + 2] | (static_cast<char32_t>(bytes[i + 3]) << 8);
    if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
    append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    i += 2;
  }
  return out;
}

}  // namespace nimbra::platform
