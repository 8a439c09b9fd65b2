// SPDX-License-Identifier: MIT
// The TCP/IP keys of Windows 95/98/Me: the network adapters under Class\Net (a network card and
// the dial-up adapter, whose "DriverDesc" is the name the localized Windows gives it) and the
// MSTCP key of the TCP/IP stack. machine.ini shapes them:
//
//   [network]
//   dialup_adapters = 1        dial-up adapters under Class\Net: 0, 1 or 2 (default 1)
//   max_mtu = 576              a "MaxMTU" the dial-up adapters get when installed (default none)
//   default_rcv_window = 8760  a "DefaultRcvWindow" MSTCP gets when installed (default none)
//   class_net = absent         leaves the Class\Net key out
//   mstcp = absent             leaves the MSTCP key out
//
// Each time the machine opens, missing keys are installed and keys machine.ini leaves out are
// removed; values written since (by the program) stay as they are. Other Windows have none.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/registry/file_registry.h"
#include "platform/registry/registry_store.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

inline constexpr std::string_view kClassNetKey =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net";
inline constexpr std::string_view kMstcpKey =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP";

// Throws MachineError for a [network] value it cannot use.
void install_network(const MachineConfig& config, platform::FileRegistry& registry);

// The MTU the Optimize page set on the first dial-up adapter that has one ("MaxMTU", 1 to
// 65535); nothing when none is set. A real call's link uses it.
std::optional<uint32_t> dialup_adapter_mtu(const platform::RegistryStore& registry,
                                           platform::Language language);

}  // namespace nimbra::sim
