// SPDX-License-Identifier: MIT
#include "platform/sim/clock/virtual_clock.h"

#include <chrono>

namespace nimbra::sim {

VirtualClock::VirtualClock(Scheduler& scheduler, platform::LocalDateTime start)
    : scheduler_(scheduler), start_(start) {}

void VirtualClock::sleep(uint32_t ms) { scheduler_.sleep(ms); }
uint64_t VirtualClock::tick_ms() { return scheduler_.now_ms(); }
platform::LocalDateTime VirtualClock::local_now() { return add_ms(start_, scheduler_.now_ms()); }

platform::LocalDateTime add_ms(const platform::LocalDateTime& t, uint64_t ms) {
  using namespace std::chrono;
  const sys_days day = year{t.year} / month{static_cast<unsigned>(t.month)} /
                       std::chrono::day{static_cast<unsigned>(t.day)};
  const auto instant = sys_seconds(day) + hours{t.hour} + minutes{t.minute} + seconds{t.second} +
                       duration_cast<seconds>(milliseconds{ms});
  const sys_days new_day = floor<days>(instant);
  const year_month_day ymd(new_day);
  const hh_mm_ss<seconds> tod(instant - new_day);
  return {static_cast<int>(ymd.year()),
          static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())),
          static_cast<int>(tod.hours().count()),
          static_cast<int>(tod.minutes().count()),
          static_cast<int>(tod.seconds().count())};
}

}  // namespace nimbra::sim
