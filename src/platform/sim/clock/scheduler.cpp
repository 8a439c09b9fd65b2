// SPDX-License-Identifier: MIT
#include "platform/sim/clock/scheduler.h"

#include <algorithm>

namespace nimbra::sim {

Scheduler::TaskId Scheduler::at(uint64_t when_ms, Lane lane, Task task) {
  const TaskId id = ++seq_;
  queue_.emplace(Key{std::max(when_ms, now_), id}, Entry{id, lane, std::move(task)});
  return id;
}

void Scheduler::cancel(TaskId id) {
  std::erase_if(queue_, [id](const auto& kv) { return kv.second.id == id; });
}

bool Scheduler::run_next(uint64_t limit, bool window_lane_allowed) {
  for (auto it = queue_.begin(); it != queue_.end() && it->first.when <= limit; ++it) {
    if (!window_lane_allowed && it->second.lane == Lane::Window) continue;
    now_ = std::max(now_, it->first.when);
    Task task = std::move(it->second.task);
    queue_.erase(it);
    task();
    return true;
  }
  return false;
}

void Scheduler::sleep(uint64_t ms) {
  const uint64_t until = now_ + ms;
  while (run_next(until, false)) {
  }
  now_ = until;
}

void Scheduler::run_due_window_work() {
  while (run_next(now_, true)) {
  }
}

void Scheduler::run_until(uint64_t until_ms) {
  while (run_next(until_ms, true)) {
  }
  now_ = std::max(now_, until_ms);
}

}  // namespace nimbra::sim
