// SPDX-License-Identifier: MIT
// The COM ports of a machine, as the [ports] section of machine.ini says:
//
//   [ports]
//   present = 1,2            ports that exist (default 1); the card's port always exists
//   held = 4                 ports another program holds open: opening them fails
//   COM3 = /dev/ttyUSB0      a real serial device behind a port (the desktop program uses it)
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/text/ini_file.h"

namespace nimbra::sim {

inline constexpr int16_t kMaxCommPort = 16;

struct PortConfig {
  std::set<int16_t> present{1};
  std::set<int16_t> held;
  std::map<int16_t, std::string> devices;

  bool exists(int16_t port) const {
    return present.contains(port) || held.contains(port) || devices.contains(port);
  }

  // Reads [ports]; throws MachineError naming a malformed key.
  static PortConfig load(const platform::IniFile& ini);
};

}  // namespace nimbra::sim
