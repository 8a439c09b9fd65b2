// SPDX-License-Identifier: MIT
// Service work in real time on the toolkit's event loop: each task is a single-shot timer.
#pragma once

#include <map>
#include <memory>

#include "platform/task_timer.h"

class QTimer;

namespace nimbra::qt {

class QtTaskTimer : public platform::TaskTimer {
 public:
  QtTaskTimer();
  ~QtTaskTimer() override;
  QtTaskTimer(const QtTaskTimer&) = delete;
  QtTaskTimer& operator=(const QtTaskTimer&) = delete;

  TaskId after(uint32_t delay_ms, Task task) override;
  void cancel(TaskId id) override;

 private:
  std::map<TaskId, std::unique_ptr<QTimer>> timers_;
  TaskId next_id_ = 0;
};

}  // namespace nimbra::qt
