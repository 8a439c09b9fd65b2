// SPDX-License-Identifier: MIT
// What the machine's browser has set up in the registry by the time the program first runs: the
// per-user key that holds the proxy settings of each dial-up connection, and the descriptions of
// its two HTTP 1.1 options (the per-user setting each one switches and the value that switches
// it on). machine.ini may leave any of these out:
//
//   [browser]
//   leave_out = Connections, HTTP\PROXY, HTTP\GENABLE\CheckedValue
//
// names the Connections key, an option's description key, or one value of a description.
#pragma once

#include <string_view>

#include "platform/registry/file_registry.h"
#include "platform/text/ini_file.h"
#include "platform/registry/registry_store.h"

namespace nimbra::sim {

inline constexpr std::string_view kConnectionsKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
    "Settings\\Connections";
inline constexpr std::string_view kAdvancedOptionsKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\AdvancedOptions";

// Puts the browser's keys and values into the registry, except those `ini` leaves out, which
// are removed; values already there are kept.
void install_browser(platform::RegistryStore& registry, const platform::IniFile& ini);

// The same on a machine's registry file as the machine opens; the file is written only when
// something changes.
void open_installed_browser(platform::FileRegistry& registry, const platform::IniFile& ini);

}  // namespace nimbra::sim
