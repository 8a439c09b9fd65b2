// SPDX-License-Identifier: MIT
// The service's dates: YY/MM/DD, read the same way whatever order the machine's locale gives
// dates, and the calendar days from today to such a date.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/kernel.h"

namespace nimbra::validity {

struct ValidityDate {
  int year = 0;  // four digits
  unsigned month = 0;
  unsigned day = 0;
};

// The text without the blanks, tabs and line ends around it.
std::string_view trim_line(std::string_view text);

// Year, month and day separated by "/", blanks and line ends around them ignored: a year of two
// digits (20YY) or four, a month and a day of one or two digits, a day the calendar has.
std::optional<ValidityDate> recognise_date(std::string_view text);

// The date in the service's eight-character form YY/MM/DD.
std::string short_form(const ValidityDate& date);

// Calendar days from `today` to `date`: 0 on the day itself, negative once it has passed.
int days_until(const platform::LocalDateTime& today, const ValidityDate& date);

}  // namespace nimbra::validity
