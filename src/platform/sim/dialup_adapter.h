// The dial-up adapter of a Windows 9x machine, as its registry lists it: the subkeys of
// HKLM\System\CurrentControlSet\Services\Class\Net whose "DriverDesc" is the adapter's name in
// the machine's language, and the packet size ("MaxMTU") the Optimize page set on them.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/registry_store.h"
#include "platform/runtime.h"

namespace nimbra::sim {

// The MTU set on the first dial-up adapter that has one; nothing when none is set.
std::optional<uint32_t> dialup_adapter_mtu(const platform::RegistryStore& registry,
                                           platform::Language language);

}  // namespace nimbra::sim
