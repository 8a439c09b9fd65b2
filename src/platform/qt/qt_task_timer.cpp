// SPDX-License-Identifier: MIT
#include "platform/qt/qt_task_timer.h"

#include <QTimer>

namespace nimbra::qt {

QtTaskTimer::QtTaskTimer() = default;

QtTaskTimer::~QtTaskTimer() = default;

platform::TaskTimer::TaskId QtTaskTimer::after(uint32_t delay_ms, Task task) {
  const TaskId id = ++next_id_;
  auto timer = std::make_unique<QTimer>();
  timer->setSingleShot(true);
  QObject::connect(timer.get(), &QTimer::timeout, [this, id, task = std::move(task)]() mutable {
    const auto it = timers_.find(id);
    if (it == timers_.end()) return;
    const Task run = std::move(task);
    // The timer (and this slot) goes once control is back in the event loop.
    it->second.release()->deleteLater();
    timers_.erase(it);
    run();
  });
  timer->start(static_cast<int>(delay_ms));
  timers_.emplace(id, std::move(timer));
  return id;
}

void QtTaskTimer::cancel(TaskId id) {
  const auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second.release()->deleteLater();
  timers_.erase(it);
}

}  // namespace nimbra::qt
