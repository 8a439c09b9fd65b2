// SPDX-License-Identifier: MIT
// What the card page's lamps show, as their readings for assistive tools: each signal
// column's level, and the free channels.
#pragma once

#include "shell/app_context.h"

namespace nimbra::diag {

// Reads the lamps' colours; lamps not painted by a measurement yet have no reading.
void describe_card_lamps(shell::AppContext& app);

}  // namespace nimbra::diag
