// SPDX-License-Identifier: MIT
#include "diag/card_answers.h"

#include <algorithm>
#include <utility>

#include "diag/reply_text.h"
#include "shell/catalogue/rep_str.h"

namespace nimbra::diag {

namespace {

constexpr size_t kCountWidth = 5;
// The AT@K answer's fields start after the first four characters; the last seven of the
// counted ones, and with them the final "OK", are not part of the fields.
constexpr size_t kPx301FieldsStart = 4;
constexpr int kPx301Trailer = 11;
constexpr int kPx301Fields = 3;
constexpr int16_t kPx301ShortestAnswer = 21;

}  // namespace

int16_t read_level_answer(std::string_view answer, shell::ChannelLevelArray& levels) {
  const int16_t count = std::min(NumericField16(answer.substr(0, kCountWidth)), kLevelsRead);
  answer.remove_prefix(std::min(kCountWidth, answer.size()));
  const std::string digits = shell::RepStr(shell::RepStr(answer, "\n", ""), "\r", "");
  const int16_t filled = std::max<int16_t>(count, 0);
  for (int16_t k = 0; k < filled; ++k) {
    const auto slot = static_cast<size_t>(k);
    levels[slot] =
        NumericField16(std::string_view(digits).substr(std::min(slot, digits.size()), 1));
  }
  for (int16_t k = filled; k < kLevelsRead; ++k) levels[static_cast<size_t>(k)] = 0;
  return count;
}

int32_t read_free_channel_answer(std::string_view answer) {
  return NumericField32(answer.substr(0, kCountWidth));
}

int16_t px301_lamps(int16_t strength) {
  if (strength >= 61) return 5;
  if (strength >= 21) return static_cast<int16_t>((strength - 11) / 10);
  // A weak strength would otherwise read as lamps; 0 and below are no strength and stay as read.
  if (strength >= 1) return 0;
  return strength;
}

std::optional<int16_t> read_px301_answer(std::string_view answer, int16_t waiting,
                                         shell::ChannelLevelArray& levels) {
  if (waiting < kPx301ShortestAnswer) return std::nullopt;
  const int length = std::max(waiting - kPx301Trailer, 0);
  std::string_view fields =
      answer.substr(std::min(kPx301FieldsStart, answer.size()), static_cast<size_t>(length));
  int16_t found = 0;
  for (size_t k = 0; k < kPx301Fields; ++k) {
    const size_t comma = fields.rfind(',');
    if (comma == std::string_view::npos) {
      levels[k] = 0;
      continue;
    }
    levels[k] = px301_lamps(NumericField16(fields.substr(comma + 1)));
    fields = fields.substr(0, comma);
    ++found;
  }
  // The fields were taken from the right; the columns follow them from the left.
  std::swap(levels[0], levels[2]);
  for (size_t k = kPx301Fields; k < static_cast<size_t>(kLevelsRead); ++k) {
    levels[k] = kLevelUnavailable;
  }
  return found;
}

}  // namespace nimbra::diag
