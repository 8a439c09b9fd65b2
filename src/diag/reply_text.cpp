// SPDX-License-Identifier: MIT
#include "diag/reply_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace nimbra::diag {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool skipped_in_numbers(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

template <class T>
T stored_as(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::nearbyint(value);  // the default rounding mode: half to even
  if (rounded <= static_cast<double>(std::numeric_limits<T>::min())) {
    return std::numeric_limits<T>::min();
  }
  if (rounded >= static_cast<double>(std::numeric_limits<T>::max())) {
    return std::numeric_limits<T>::max();
  }
  return static_cast<T>(rounded);
}

}  // namespace

std::string ExtractReplyLine(std::string_view reply) {
  std::vector<std::string_view> pieces;
  for (;;) {
    const size_t brk = reply.find(kLineBreak);
    pieces.push_back(reply.substr(0, brk));
    if (pieces.back() == "OK") break;
    if (brk == std::string_view::npos) return {};
    reply.remove_prefix(brk + kLineBreak.size());
  }
  const size_t ok = pieces.size() - 1;
  return ok < 2 ? std::string() : std::string(pieces[ok - 2]);
}

std::string RemoveEcho(std::string_view reply, std::string_view command, EchoRemoval form) {
  if (form == EchoRemoval::Guarded) {
    const std::string echoed = std::string(command) + '\r';
    if (reply.find(echoed) == std::string_view::npos) return std::string(reply);
  }
  return std::string(reply.substr(std::min(command.size(), reply.size())));
}

double NumericField(std::string_view text) {
  // The number's characters without the skipped ones, checked as they come.
  std::string number;
  enum class Part { Sign, Whole, Fraction, ExponentSign, Exponent } part = Part::Sign;
  bool digits = false;
  for (const char c : text) {
    if (skipped_in_numbers(c)) continue;
    if ((c == '+' || c == '-') && (part == Part::Sign || part == Part::ExponentSign)) {
      part = part == Part::Sign ? Part::Whole : Part::Exponent;
    } else if (is_digit(c)) {
      if (part == Part::Sign) part = Part::Whole;
      if (part == Part::ExponentSign) part = Part::Exponent;
      if (part != Part::Exponent) digits = true;
    } else if (c == '.' && (part == Part::Sign || part == Part::Whole)) {
      part = Part::Fraction;
    } else if ((c == 'E' || c == 'e' || c == 'D' || c == 'd') && digits &&
               (part == Part::Whole || part == Part::Fraction)) {
      part = Part::ExponentSign;
    } else {
      break;
    }
    number += (c == 'D' || c == 'd' || c == 'e') ? 'E' : c;
  }
  if (!digits) return 0;
  // An exponent marker without digits belongs to no number.
  while (!number.empty() && !is_digit(number.back()) && number.back() != '.') number.pop_back();
  if (number.front() == '+') number.erase(0, 1);
  double value = 0;
  // from_chars, unlike strtod, does not follow the locale's decimal separator.
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (number.find("E-") != std::string::npos) return 0;  // too small to tell from zero
    return number.front() == '-' ? -HUGE_VAL : HUGE_VAL;
  }
  return value;
}

int16_t NumericField16(std::string_view text) {
  return stored_as<int16_t>(NumericField(text));
}
int32_t NumericField32(std::string_view text) {
  return stored_as<int32_t>(NumericField(text));
}

}  // namespace nimbra::diag
