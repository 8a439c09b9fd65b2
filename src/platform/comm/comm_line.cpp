// SPDX-License-Identifier: MIT
#include "platform/comm/comm_line.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace nimbra::platform {

namespace {

constexpr std::array<uint32_t, 12> kBauds{110,  300,   600,   1200,  2400,  4800,
                                          9600, 14400, 19200, 38400, 57600, 115200};

template <class T>
bool parse_number(std::string_view text, T& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<LineSettings> parse_line_settings(std::string_view text) {
  std::array<std::string_view, 4> parts;
  for (size_t i = 0; i < parts.size(); ++i) {
    const size_t comma = text.find(',');
    if ((comma == std::string_view::npos) != (i == parts.size() - 1)) return std::nullopt;
    parts[i] = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  }
  LineSettings s;
  if (!parse_number(parts[0], s.baud) || !parse_number(parts[2], s.data_bits) ||
      !parse_number(parts[3], s.stop_bits)) {
    return std::nullopt;
  }
  if (std::find(kBauds.begin(), kBauds.end(), s.baud) == kBauds.end()) return std::nullopt;
  if (parts[1].size() != 1 ||
      std::string_view("NEOMSneoms").find(parts[1][0]) == std::string_view::npos) {
    return std::nullopt;
  }
  s.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(parts[1][0])));
  if (s.data_bits < 4 || s.data_bits > 8 || s.stop_bits < 1 || s.stop_bits > 2) return std::nullopt;
  return s;
}

}  // namespace nimbra::platform
