// SPDX-License-Identifier: MIT
#include "validity/validity_date.h"

#include <gtest/gtest.h>

namespace nimbra::validity {
namespace {

// Only year/month/day dates of the calendar are recognised, whatever the locale's order.
TEST(ValidityDate, RecognisesTheServiceForm) {
  struct Row {
    std::string_view text;
    bool date;
    int year;
    unsigned month, day;
  };
  const Row rows[] = {
      {"27/03/31", true, 2027, 3, 31},   {" 27/03/31\r\n", true, 2027, 3, 31},
      {"2027/03/31", true, 2027, 3, 31}, {"28/02/29", true, 2028, 2, 29},
      {"27/02/29", false, 0, 0, 0},      {"31/12/27", true, 2031, 12, 27},
      {"12/31/27", false, 0, 0, 0},      {"27/03/31x", false, 0, 0, 0},
      {"27/03/031", false, 0, 0, 0},     {"27-03-31", false, 0, 0, 0},
  };
  for (const Row& r : rows) {
    const auto date = recognise_date(r.text);
    ASSERT_EQ(date.has_value(), r.date) << r.text;
    if (!date) continue;
    EXPECT_EQ(date->year, r.year) << r.text;
    EXPECT_EQ(date->month, r.month) << r.text;
    EXPECT_EQ(date->day, r.day) << r.text;
  }
}

// Days count calendar days across month and year ends; the time of day plays no part.
TEST(ValidityDate, CountsCalendarDays) {
  const platform::LocalDateTime late{2026, 12, 6, 23, 59, 59};
  EXPECT_EQ(days_until(late, {2026, 12, 7}), 1);
  EXPECT_EQ(days_until(late, {2026, 12, 5}), -1);
  EXPECT_EQ(days_until(late, {2027, 3, 1}), 85);
  EXPECT_EQ(short_form({2027, 3, 1}), "27/03/01");
}

}  // namespace
}  // namespace nimbra::validity
