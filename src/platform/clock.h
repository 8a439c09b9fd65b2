// SPDX-License-Identifier: MIT
// The clock behind the kernel's waits and dates: real time on the desktop, virtual time in the
// simulated machine.
#pragma once

#include <cstdint>

#include "platform/kernel.h"

namespace nimbra::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void sleep(uint32_t ms) = 0;
  virtual uint64_t tick_ms() = 0;
  virtual LocalDateTime local_now() = 0;
};

}  // namespace nimbra::platform
