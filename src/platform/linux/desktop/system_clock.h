// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clock.h"

namespace nimbra::lnx {

// Real time: a wait blocks the calling thread, dates come from the system's local time.
class SystemClock : public platform::Clock {
 public:
  void sleep(uint32_t ms) override;
  uint64_t tick_ms() override;
  platform::LocalDateTime local_now() override;
};

}  // namespace nimbra::lnx
