// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/system_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace nimbra::lnx {

void SystemClock::sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint64_t SystemClock::tick_ms() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

platform::LocalDateTime SystemClock::local_now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace nimbra::lnx
