// SPDX-License-Identifier: MIT
// What the status line shows for each state of a call that RAS reports.
#pragma once

#include <cstdint>

namespace nimbra::dialup {

struct DialStateView {
  int message;    // catalogue text for StatusLbl
  bool dialling;  // the state sets ConnState to 2
};

// The view of a RAS connection state; message 154 and nothing else for a state not listed.
// Connected and disconnected have their own handling besides their text.
DialStateView dial_state_view(uint32_t state);

}  // namespace nimbra::dialup
