// SPDX-License-Identifier: MIT
// The machine made from this computer: the supported devices plugged in, their modems' ttys
// mapped to COM ports and calls made with pppd.
#pragma once

#include <filesystem>
#include <ostream>
#include <string_view>

#include "platform/runtime.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::app {

// Where the devices are looked for: $NIMBRA_SYSFS_ROOT when set (tests give a fake tree), else
// /sys.
std::filesystem::path sysfs_root();

// Where a search tells what it found: one line per device taken on `found`, one per device
// passed over on `problems`, that one after "`program`: ".
struct DeviceReport {
  std::ostream& found;
  std::ostream& problems;
  std::string_view program;
};

// Adds the devices plugged in under `sysfs` (their device nodes and stable names under `dev`) to
// `spec` and makes its calls go over pppd. False when there is none to use (then `spec` is
// unchanged).
bool take_system_devices(const std::filesystem::path& sysfs, const std::filesystem::path& dev,
                         sim::MachineSpec& spec, const DeviceReport& report);

// The first start: unless a machine is in `dir`, makes it from this computer when a supported
// device is plugged in (saying so on `tell`), else the demo machine. True when it made one.
// Throws MachineError.
bool ensure_machine(const std::filesystem::path& dir, platform::Language language,
                    const std::filesystem::path& sysfs, std::ostream& tell);

}  // namespace nimbra::app
