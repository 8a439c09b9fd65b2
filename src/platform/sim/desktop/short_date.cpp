// SPDX-License-Identifier: MIT
#include "platform/sim/desktop/short_date.h"

namespace nimbra::sim {

namespace {

std::string padded(int value, size_t width) {
  std::string s = std::to_string(value);
  return s.size() < width ? std::string(width - s.size(), '0') + s : s;
}

}  // namespace

std::string format_short_date(std::string_view picture, const platform::LocalDateTime& date) {
  std::string out;
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    if (c == '\'') {
      const size_t end = picture.find('\'', i + 1);
      out += picture.substr(i + 1, (end == std::string_view::npos ? picture.size() : end) - i - 1);
      i = end == std::string_view::npos ? picture.size() : end + 1;
      continue;
    }
    if (c == 'y') {
      out += run >= 4 ? padded(date.year, 4) : padded(date.year % 100, 2);
    } else if (c == 'M') {
      out += padded(date.month, run >= 2 ? 2 : 1);
    } else if (c == 'd') {
      out += padded(date.day, run >= 2 ? 2 : 1);
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

}  // namespace nimbra::sim
