// SPDX-License-Identifier: MIT
#include "validity/validity_date.h"

#include <chrono>
#include <cstdio>

namespace nimbra::validity {

namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

year_month_day calendar_date(int y, unsigned m, unsigned d) {
  return {std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
}

// The number made of 1 to `most` digits at the front of `text`, which it consumes.
std::optional<unsigned> take_number(std::string_view& text, size_t fewest, size_t most) {
  size_t n = 0;
  unsigned value = 0;
  while (n < text.size() && n < most && text[n] >= '0' && text[n] <= '9') {
    value = value * 10 + static_cast<unsigned>(text[n] - '0');
    ++n;
  }
  if (n < fewest || (n < text.size() && text[n] >= '0' && text[n] <= '9')) return std::nullopt;
  text.remove_prefix(n);
  return value;
}

bool take_slash(std::string_view& text) {
  if (!text.starts_with('/')) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::string_view trim_line(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<ValidityDate> recognise_date(std::string_view text) {
  text = trim_line(text);
  const size_t year_digits = text.find('/');
  if (year_digits != 2 && year_digits != 4) return std::nullopt;
  const auto year = take_number(text, year_digits, year_digits);
  if (!year || !take_slash(text)) return std::nullopt;
  const auto month = take_number(text, 1, 2);
  if (!month || !take_slash(text)) return std::nullopt;
  const auto day = take_number(text, 1, 2);
  if (!day || !text.empty()) return std::nullopt;
  const int full_year = static_cast<int>(year_digits == 2 ? 2000 + *year : *year);
  if (!calendar_date(full_year, *month, *day).ok()) return std::nullopt;
  return ValidityDate{full_year, *month, *day};
}

std::string short_form(const ValidityDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02u/%02u", date.year % 100, date.month % 100,
                date.day % 100);
  return text;
}

int days_until(const platform::LocalDateTime& today, const ValidityDate& date) {
  const sys_days from{calendar_date(today.year, static_cast<unsigned>(today.month),
                                    static_cast<unsigned>(today.day))};
  const sys_days to{calendar_date(date.year, date.month, date.day)};
  return static_cast<int>((to - from).count());
}

}  // namespace nimbra::validity
