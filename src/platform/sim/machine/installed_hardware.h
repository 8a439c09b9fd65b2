// SPDX-License-Identifier: MIT
// The Korvo devices a simulated machine has installed, and the registry keys that Windows of the
// machine's family writes for them: the modem driver, the device's Enum key with its COM port,
// and (NT family) the modem service's instance list. machine.ini names them:
//
//   [card]
//   device = KVT30-J      model name of a supported data card, adapter or cable
//   port = 3              COM port of its modem
//   instance = 1          optional: the Enum instance subkey (on NT, for a data card, the
//                         number that ends its instance identity)
//   [card2]               optionally a second device, with the same keys
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry_store.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

// True when `model` is the model name of a device Windows knows a driver for.
bool is_known_device(std::string_view model);

// The instance subkey a device gets when machine.ini names none: "1" for a data card, a USB
// instance name for adapters and cables. `copy` (0, 1) tells two devices of one model apart.
std::string default_instance(std::string_view model, size_t copy);

// Writes the keys of every device into the registry. Throws MachineError for an unknown model.
void install_hardware(platform::RegistryStore& registry, WindowsVersion windows,
                      const std::vector<CardInstall>& cards);

// The [card] and [card2] sections; throws MachineError for an unknown model or a bad port.
std::vector<CardInstall> load_installed_cards(const platform::IniFile& ini);
void save_installed_cards(platform::IniFile& ini, const std::vector<CardInstall>& cards);

}  // namespace nimbra::sim
