// SPDX-License-Identifier: MIT
// Arbitrary card answers through the measurement's readers: the channel levels of AT@@LVL, the
// free channels of AT@@LNK and the comma fields of AT@K never touch the slot after 0 to 14 and
// never read past the answer.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "diag/card_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra::diag;
  if (size < 2) return 0;
  // The first two bytes are the count of waiting characters that comes with an AT@K answer.
  const auto waiting = static_cast<int16_t>(data[0] | (data[1] << 8));
  // A copy of exactly the answer's bytes, so a read past it is caught.
  const std::string answer(reinterpret_cast<const char*>(data + 2), size - 2);
  constexpr int16_t kUntouched = 0x5A5A;
  nimbra::shell::ChannelLevelArray levels;
  levels.fill(kUntouched);
  const int16_t count = read_level_answer(answer, levels);
  if (count > kLevelsRead || levels[kLevelsRead] != kUntouched) __builtin_trap();
  (void)read_free_channel_answer(answer);
  levels.fill(kUntouched);
  const std::optional<int16_t> found = read_px301_answer(answer, waiting, levels);
  if (levels[kLevelsRead] != kUntouched) __builtin_trap();
  for (size_t k = 0; k < 3; ++k) {
    // No answer yet leaves the lamps alone; an answer gives at most five lamps (a value of 0
    // or below stays as read).
    if (!found ? levels[k] != kUntouched : levels[k] > 5) __builtin_trap();
  }
  if (found && (*found < 0 || *found > 3)) __builtin_trap();
  return 0;
}
