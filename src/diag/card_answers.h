// SPDX-License-Identifier: MIT
// Reading the card's measurement answers: the channel levels of AT@@LVL, the free channels of
// AT@@LNK and the comma fields of the PX-301's AT@K. Every reader writes only slots 0 to 14.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "shell/app_context.h"

namespace nimbra::diag {

inline constexpr int16_t kLevelUnavailable = -1;
// Slots 0 to 14 take levels; the last slot is never written.
inline constexpr int16_t kLevelsRead = 15;

// An AT@@LVL answer after echo removal: a five-character channel count, then one digit per
// channel, line breaks anywhere after the count. Fills the counted slots (at most 15) from the
// digits and zeroes the rest; returns the count, limited to 15.
int16_t read_level_answer(std::string_view answer, shell::ChannelLevelArray& levels);

// An AT@@LNK answer after echo removal: the free-channel count in its first five characters.
int32_t read_free_channel_answer(std::string_view answer);

// The PX-301's field strength as lamps: 61 and more 5, then one lamp less per ten down to 21
// to 30 giving 1; 1 to 20 is no signal (0). Anything else stays as read: -1 is a channel the
// card cannot see (not available).
int16_t px301_lamps(int16_t strength);

// The PX-301's AT@K answer, `waiting` characters as counted before reading it. 20 characters or
// fewer are no answer yet: nothing is read. Otherwise the last three comma fields, left to
// right, go to slots 0 to 2 as lamps (0 when a field is missing), slots 3 to 14 become not
// available, and the number of fields found is returned.
std::optional<int16_t> read_px301_answer(std::string_view answer, int16_t waiting,
                                         shell::ChannelLevelArray& levels);

}  // namespace nimbra::diag
