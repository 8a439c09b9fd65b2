// SPDX-License-Identifier: MIT
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
  // The modem's tty (/dev/ttyACM0): on a USB device with several serial ports (a modem and a
  // diagnostic port), the one on the lowest-numbered interface. Empty when no serial device is
  // bound to it.
  std::filesystem::path tty;
  // The name that stays when the device is plugged in again or into another port
  // (/dev/serial/by-id/...), where udev made one; else the tty.
  std::filesystem::path stable_name;
};

struct SystemScan {
  std::vector<PluggedDevice> devices;
  std::vector<std::string> problems;  // sysfs entries that could not be read, and why
};

// Devices under `sysfs` (normally /sys), in the order sysfs lists them; their device nodes
// under `dev` (normally /dev).
SystemScan plugged_devices(const std::filesystem::path& sysfs, const std::filesystem::path& dev);

}  // namespace nimbra::app
