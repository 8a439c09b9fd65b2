// SPDX-License-Identifier: MIT
// Service work in virtual time: it runs as device work, so it goes on while the program blocks
// in a wait, as a service outside the program would.
#pragma once

#include "platform/sim/clock/scheduler.h"
#include "platform/task_timer.h"

namespace nimbra::sim {

class DeviceTaskTimer : public platform::TaskTimer {
 public:
  explicit DeviceTaskTimer(Scheduler& scheduler) : scheduler_(scheduler) {}

  TaskId after(uint32_t delay_ms, Task task) override {
    return scheduler_.after(delay_ms, Scheduler::Lane::Device, std::move(task));
  }
  void cancel(TaskId id) override { scheduler_.cancel(id); }

 private:
  Scheduler& scheduler_;
};

}  // namespace nimbra::sim
