// SPDX-License-Identifier: MIT
// The connection's proxy value: the binary value "KVAUTODL" under the browser's per-connection
// settings key.
#pragma once

#include <string_view>

#include "shell/app_context.h"

namespace nimbra::accel {

inline constexpr std::string_view kConnectionsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
inline constexpr std::string_view kProxyValueName = "KVAUTODL";

// Opens the key for writing, sets the value to the blob's bytes (when there is a blob), flushes
// and closes. False when the key cannot be opened for writing, and then nothing is written; the
// results of the write, flush and close are not looked at.
bool write_proxy_value(shell::AppContext& app, const shell::ProxyBlob* blob);

}  // namespace nimbra::accel
