// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clock.h"
#include "platform/sim/clock/scheduler.h"

namespace nimbra::sim {

// Virtual time: a wait advances the scheduler at once, running the devices' work on the way;
// the local date is the machine's start date plus the virtual time that has passed.
class VirtualClock : public platform::Clock {
 public:
  VirtualClock(Scheduler& scheduler, platform::LocalDateTime start);

  void sleep(uint32_t ms) override;
  uint64_t tick_ms() override;
  platform::LocalDateTime local_now() override;

 private:
  Scheduler& scheduler_;
  platform::LocalDateTime start_;
};

// Adds milliseconds to a date and time on the proleptic Gregorian calendar.
platform::LocalDateTime add_ms(const platform::LocalDateTime& t, uint64_t ms);

}  // namespace nimbra::sim
