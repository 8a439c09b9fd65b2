// SPDX-License-Identifier: MIT
// The modems RAS offers as dial-up devices: the modems Windows has installed, as their driver
// keys in the registry say. On the NT family a device can be named with an instance suffix, as
// Windows names a second modem of one model ("Q-R DATA UCA2-PCX #2"); machine.ini sets it on the
// device's section:
//
//   [card]
//   ras_suffix = #2
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/registry_store.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

struct RasModem {
  std::string name;  // the device name, ANSI
  int16_t port = 0;  // the COM port it is attached to; 0 when unknown
};

std::vector<RasModem> ras_modems(const platform::RegistryStore& registry,
                                 const MachineConfig& config);

}  // namespace nimbra::sim
