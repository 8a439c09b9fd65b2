// SPDX-License-Identifier: MIT
// The machine's restarts, kept in power.ini in the machine directory so that the tools can say
// when the machine last restarted and why:
//
//   [restart]
//   time = 2026-12-06 10:00:05
//   reason = a program asked Windows to restart (ExitWindowsEx, EWX_REBOOT)
//
// A restart ends every program and every dial-up connection of the machine.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/kernel.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

inline constexpr std::string_view kPowerFile = machine_files::kPower;

struct RestartRecord {
  platform::LocalDateTime time;
  std::string reason;
  friend bool operator==(const RestartRecord&, const RestartRecord&) = default;
};

// Records the restart and hangs up the machine's connections; false when the record cannot be
// written.
bool record_restart(const std::filesystem::path& machine_dir, const RestartRecord& restart);

// The last restart; nothing when the machine has not restarted since it was created.
std::optional<RestartRecord> last_restart(const std::filesystem::path& machine_dir);

// "2026-12-06 10:00:05", as machine.ini writes times.
std::string format_date_time(const platform::LocalDateTime& t);

}  // namespace nimbra::sim
