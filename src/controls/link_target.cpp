// SPDX-License-Identifier: MIT
#include "controls/link_target.h"

#include <array>

namespace nimbra::controls {

namespace {

bool is_hex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool is_unreserved(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

void append_encoded(std::string& out, char c) {
  static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
  const auto byte = static_cast<unsigned char>(c);
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

}  // namespace

std::string mailto_target(std::string_view address) {
  // An address's own characters; no '?' (headers), '#', '%', ',' or ';' (more recipients).
  constexpr std::string_view kAddressMarks = "!$'()*+:@";
  std::string target = "mailto:";
  for (const char c : address) {
    if (is_unreserved(c) || kAddressMarks.find(c) != std::string_view::npos) {
      target += c;
    } else {
      append_encoded(target, c);
    }
  }
  return target;
}

std::string http_target(std::string_view address) {
  // A web address keeps its host, port, path, query and fragment marks, and its escapes.
  constexpr std::string_view kUrlMarks = ":/?#[]@!$&'()*+,;=";
  std::string target = "http://";
  for (size_t i = 0; i < address.size(); ++i) {
    const char c = address[i];
    const bool escape =
        c == '%' && i + 2 < address.size() && is_hex(address[i + 1]) && is_hex(address[i + 2]);
    if (is_unreserved(c) || kUrlMarks.find(c) != std::string_view::npos || escape) {
      target += c;
    } else {
      append_encoded(target, c);
    }
  }
  return target;
}

}  // namespace nimbra::controls
