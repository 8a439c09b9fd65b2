// SPDX-License-Identifier: MIT
// The two questions the connect sequence asks the card before dialling: its model code (ATI4)
// and its PHS number (ATI6). Each exchange costs its full wait, answered or not.
#pragma once

#include <cstdint>
#include <string>

#include "diag/at_channel.h"

namespace nimbra::dialup {

inline constexpr uint32_t kCardQueryWaitMs = 1100;
inline constexpr int kCardQueryRounds = 4;
inline constexpr size_t kPhsNumberMinLength = 10;

// Asks ATI4 until a model line comes back, at most four times; empty when none did.
std::string query_model_code(diag::AtChannel& channel);

// Asks ATI6 at least once and until the number has 10 characters, at most four times. An
// exchange that brings nothing leaves `phs_number` as it was; the last answer is kept even
// when it is shorter.
void query_phs_number(diag::AtChannel& channel, std::string& phs_number);

}  // namespace nimbra::dialup
