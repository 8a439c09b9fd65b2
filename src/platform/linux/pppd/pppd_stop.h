// SPDX-License-Identifier: MIT
// Ending a pppd the way a hang-up does: SIGTERM first, so that it closes the link and restores
// the line; DTR low a little later, so that the modem drops the call and pppd sees the hang-up
// at once instead of waiting out its Terminate-Requests; SIGKILL when it still runs after that.
// The wait is bounded.
#pragma once

#include <cstdint>
#include <functional>

namespace nimbra::lnx {

struct StopTiming {
  uint32_t drop_dtr_ms = 2000;  // after SIGTERM
  uint32_t kill_ms = 10000;     // after SIGTERM
};

enum class StopOutcome {
  AlreadyEnded,  // it had ended before the signal
  Terminated,    // it ended after SIGTERM (and DTR low)
  Killed,        // it needed SIGKILL
};

// `send` delivers a signal to pppd, `ended` says whether it has ended, `drop_dtr` (may be empty)
// lowers DTR on the line. Returns once pppd has ended, or a short while after SIGKILL.
StopOutcome stop_pppd(const std::function<void(int)>& send, const std::function<bool()>& ended,
                      const std::function<void()>& drop_dtr, StopTiming timing);

}  // namespace nimbra::lnx
