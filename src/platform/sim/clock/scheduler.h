// SPDX-License-Identifier: MIT
// Virtual time of the simulated machine. Work is scheduled at virtual instants; a wait advances
// the clock at once and runs the work that falls due on the way.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace nimbra::sim {

class Scheduler {
 public:
  using Task = std::function<void()>;
  using TaskId = uint64_t;

  // Device work runs whenever virtual time passes, also inside a blocking wait (the devices
  // live outside the program's thread). Window work runs only when the program lets pending
  // events run or waits for events in its message loop.
  enum class Lane { Device, Window };

  uint64_t now_ms() const { return now_; }

  TaskId at(uint64_t when_ms, Lane lane, Task task);
  TaskId after(uint64_t delay_ms, Lane lane, Task task) {
    return at(now_ + delay_ms, lane, std::move(task));
  }
  void cancel(TaskId id);

  // A blocking wait: advances the clock by `ms`, running device work only.
  void sleep(uint64_t ms);

  // Runs the window work that is due now (and device work due now), in time order.
  void run_due_window_work();

  // The message loop: advances up to `until_ms`, running all work in time order.
  void run_until(uint64_t until_ms);

 private:
  struct Key {
    uint64_t when;
    uint64_t seq;
    bool operator<(const Key& o) const { return when != o.when ? when < o.when : seq < o.seq; }
  };
  struct Entry {
    TaskId id;
    Lane lane;
    Task task;
  };
  // Runs the earliest task of an allowed lane that is due by `limit`; false when none is.
  bool run_next(uint64_t limit, bool window_lane_allowed);

  uint64_t now_ = 0;
  uint64_t seq_ = 0;
  std::map<Key, Entry> queue_;
};

}  // namespace nimbra::sim
