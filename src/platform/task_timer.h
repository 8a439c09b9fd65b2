// SPDX-License-Identifier: MIT
// Work that a service outside the program runs by itself after a delay, on the user-interface
// thread's side of the world: the simulated machine runs it as device work in virtual time, the
// desktop on the toolkit's timers in real time.
#pragma once

#include <cstdint>
#include <functional>

namespace nimbra::platform {

class TaskTimer {
 public:
  using Task = std::function<void()>;
  using TaskId = uint64_t;

  virtual ~TaskTimer() = default;

  // Runs `task` once, `delay_ms` from now. Ids are never 0.
  virtual TaskId after(uint32_t delay_ms, Task task) = 0;

  // Drops a task that has not run yet; an unknown or finished id is ignored.
  virtual void cancel(TaskId id) = 0;
};

}  // namespace nimbra::platform
