// What the machine's browser has set up in the registry by the time the program first runs: the
// per-user key that holds the proxy settings of each dial-up connection.
#pragma once

#include <string_view>

#include "platform/registry_store.h"

namespace nimbra::sim {

inline constexpr std::string_view kConnectionsKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
    "Settings\\Connections";

void install_browser(platform::RegistryStore& registry);

}  // namespace nimbra::sim
