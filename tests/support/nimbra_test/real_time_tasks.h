// SPDX-License-Identifier: MIT
// Timer tasks run in real time, as the toolkit's event loop runs them, for tests of real
// processes (pppd, the desktop's tools).
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <thread>

#include "platform/task_timer.h"

namespace nimbra::test {

class RealTimeTasks : public platform::TaskTimer {
 public:
  using Clock = std::chrono::steady_clock;

  TaskId after(uint32_t delay_ms, Task task) override {
    tasks_[++last_] = {Clock::now() + std::chrono::milliseconds(delay_ms), std::move(task)};
    return last_;
  }
  void cancel(TaskId id) override { tasks_.erase(id); }

  // Runs due tasks until `done` holds; false when `limit_ms` passed first.
  bool run_until(const std::function<bool()>& done, uint32_t limit_ms = 5000) {
    const auto limit = Clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done()) {
      if (Clock::now() > limit) return false;
      for (auto it = tasks_.begin(); it != tasks_.end(); ++it) {
        if (it->second.due > Clock::now()) continue;
        Task task = std::move(it->second.task);
        tasks_.erase(it);
        task();
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

 private:
  struct Due {
    Clock::time_point due;
    Task task;
  };
  std::map<TaskId, Due> tasks_;
  TaskId last_ = 0;
};

}  // namespace nimbra::test
