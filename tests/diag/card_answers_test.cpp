// SPDX-License-Identifier: MIT
// Reading the measurement answers from literal card bytes.
#include "diag/card_answers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace nimbra::diag {
namespace {

constexpr int16_t kSentinel = 99;

shell::ChannelLevelArray sentinel_levels() {
  shell::ChannelLevelArray levels;
  levels.fill(kSentinel);
  return levels;
}

std::vector<int16_t> first(const shell::ChannelLevelArray& levels, size_t n) {
  return {levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(n)};
}

struct LevelRow {
  std::string answer;
  int16_t count;
  std::vector<int16_t> slots;  // slots 0..14
};

// An AT@@LVL answer fills the counted slots from its digits and zeroes the rest of 0 to 14; a
// count above 15 is held to 15, a negative one fills nothing, and the last slot stays untouched.
TEST(CardAnswers, LevelAnswer) {
  const std::vector<int16_t> zeros(15, 0);
  std::vector<int16_t> full(15, 1);
  full[14] = 2;
  const LevelRow rows[] = {
      {"00003\n524", 3, {5, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"\r0003\r\n524\r\n\r\nOK\r\n", 3, {5, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"00000\r\n", 0, zeros},
      {"00004\r\n7x-9", 4, {7, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"00002", 2, zeros},
      {"00020" + std::string(14, '1') + "2345", 15, full},
      {"-0003524", -3, zeros},
      {"", 0, zeros},
  };
  for (const LevelRow& row : rows) {
    auto levels = sentinel_levels();
    EXPECT_EQ(read_level_answer(row.answer, levels), row.count) << row.answer;
    EXPECT_EQ(first(levels, 15), row.slots) << row.answer;
    EXPECT_EQ(levels[15], kSentinel) << row.answer;
  }
}

struct Px301Row {
  std::string answer;
  std::optional<int16_t> found;
  std::vector<int16_t> slots;  // slots 0..2; 3..14 are not available once read
  int16_t waiting = 0;         // counted characters; 0: the whole answer
};

// The last three comma fields become columns 0 to 2 as lamps, one less per ten below 61 and
// none from 20 down to 1, while 0 and below (-1: not available) stay as read; a missing field is
// 0; the counted length cuts the trailer off, and 20 characters or fewer are not read at all.
TEST(CardAnswers, Px301Answer) {
  const Px301Row rows[] = {
      {"\r\n@K:1,07,65,45,10\r\n\r\nOK\r\n", 3, {5, 3, 0}},
      {"\r\n@K:1,07,35,25,61\r\n\r\nOK\r\n", 3, {2, 1, 5}},
      {"\r\n@K:1,60,51,50\r\n\r\nOK\r\n", 3, {4, 4, 3}},
      {"\r\n@K:1,41,40,31\r\n\r\nOK\r\n", 3, {3, 2, 2}},
      {"\r\n@K:1,30,21,20\r\n\r\nOK\r\n", 3, {1, 1, 0}},
      {"\r\n@K:1,05,1,-1\r\n\r\nOK\r\n", 3, {0, 0, -1}},
      {"\r\n@K:1,-1,0,-7\r\n\r\nOK\r\n", 3, {-1, 0, -7}},
      {"\r\n@K:45,55\r\n\r\nOK\r\n\r\n", 1, {0, 0, 4}, 21},
      {"\r\n@K:nothing\r\n\r\nOK\r\n\r\n", 0, {0, 0, 0}},
      {"\r\n@K:1" + std::string(16, ' '), 0, {0, 0, 0}},
      {"\r\n@K:1,07,65,45,10\r\n\r\nOK\r\n", 3, {0, 5, 0}, 21},
      {"\r\n@K:1,07,65,45,10\r\n\r\nOK\r\n", std::nullopt, {}, 20},
      {"\r\n@K:1", std::nullopt, {}},
  };
  for (const Px301Row& row : rows) {
    auto levels = sentinel_levels();
    const auto waiting = row.waiting != 0 ? row.waiting : static_cast<int16_t>(row.answer.size());
    EXPECT_EQ(read_px301_answer(row.answer, waiting, levels), row.found) << row.answer;
    if (!row.found) {
      EXPECT_EQ(levels, sentinel_levels()) << row.answer;
      continue;
    }
    EXPECT_EQ(first(levels, 3), row.slots) << row.answer;
    for (size_t k = 3; k < 15; ++k) EXPECT_EQ(levels[k], kLevelUnavailable);
    EXPECT_EQ(levels[15], kSentinel);
  }
}

}  // namespace
}  // namespace nimbra::diag
