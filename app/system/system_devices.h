// The supported devices plugged into this computer, as sysfs shows them: USB adapters and cables
// by the vendor and product ids of their instance identities ("USB\Vid_0f3a&Pid_0a12"), data
// cards by the manufacturer and product strings of their PC Card identity
// ("PCMCIA\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1\1": prod_id1 and prod_id2 with blanks and commas
// written as "_"; the trailing checksum of the card's tuples is not in sysfs and is not
// compared). Each comes with the serial device its modem appears as.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "detect/device_catalogue.h"

namespace nimbra::app {

struct PluggedDevice {
  const detect::SupportedDevice* device;
  std::filesystem::path tty;  // /dev/ttyACM0; empty when no serial device is bound to it
};

// Devices under `sysfs` (normally /sys), in the order sysfs lists them.
std::vector<PluggedDevice> plugged_devices(const std::filesystem::path& sysfs);

}  // namespace nimbra::app
