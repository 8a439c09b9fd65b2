// SPDX-License-Identifier: MIT
// Registry keys a machine's user may not write or open, as machine.ini names them:
//
//   [registry]
//   deny_write = HKEY_CURRENT_USER\Software\...   the key and every key below it
//   deny_open = HKEY_LOCAL_MACHINE\System\...     the key and every key below it refuse opening
#pragma once

#include "platform/registry/file_registry.h"
#include "platform/text/ini_file.h"

namespace nimbra::sim {

void apply_registry_permissions(const platform::IniFile& ini, platform::FileRegistry& registry);

}  // namespace nimbra::sim
