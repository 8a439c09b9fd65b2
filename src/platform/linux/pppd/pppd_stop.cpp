// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/pppd_stop.h"

#include <signal.h>

#include <chrono>
#include <thread>

namespace nimbra::lnx {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(10);
// A killed process is gone within moments unless the kernel holds it in a device wait.
constexpr auto kReapAfterKill = std::chrono::seconds(2);

}  // namespace

StopOutcome stop_pppd(const std::function<void(int)>& send, const std::function<bool()>& ended,
                      const std::function<void()>& drop_dtr, StopTiming timing) {
  if (ended()) return StopOutcome::AlreadyEnded;
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto dtr_at = start + std::chrono::milliseconds(timing.drop_dtr_ms);
  const auto kill_at = start + std::chrono::milliseconds(timing.kill_ms);
  send(SIGTERM);
  bool dtr_low = !drop_dtr;
  while (!ended()) {
    const auto now = Clock::now();
    if (now >= kill_at) {
      send(SIGKILL);
      const auto give_up = now + kReapAfterKill;
      while (!ended() && Clock::now() < give_up) std::this_thread::sleep_for(kPoll);
      return StopOutcome::Killed;
    }
    if (!dtr_low && now >= dtr_at) {
      drop_dtr();
      dtr_low = true;
    }
    std::this_thread::sleep_for(kPoll);
  }
  return StopOutcome::Terminated;
}

}  // namespace nimbra::lnx
