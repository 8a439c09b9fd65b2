// SPDX-License-Identifier: MIT
#include "platform/sim/machine/registry_permissions.h"

namespace nimbra::sim {

void apply_registry_permissions(const platform::IniFile& ini, platform::FileRegistry& registry) {
  if (const auto key = ini.get("registry", "deny_write")) registry.deny_write(*key);
  if (const auto key = ini.get("registry", "deny_open")) registry.deny_open(*key);
}

}  // namespace nimbra::sim
