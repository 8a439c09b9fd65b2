// SPDX-License-Identifier: MIT
// The registry of the Windows 9x TCP/IP stack: the dial-up adapters under Class\Net and the
// MSTCP key, whose numbers are REG_SZ decimal texts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "shell/registry_access.h"

namespace nimbra::tcpip {

inline constexpr std::string_view kClassNetKey = "System\\CurrentControlSet\\Services\\Class\\Net";
inline constexpr std::string_view kMstcpKey = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

// Calls `treat` with the key of every dial-up adapter under the open Class\Net key, opened with
// `access`: each subkey whose "DriverDesc" is the name the localized Windows gives its dial-up
// adapter (message 127). Subkeys that cannot be listed or opened are skipped.
void for_each_dialup_adapter(shell::AppContext& app, const shell::RegKey& class_net,
                             uint32_t access,
                             const std::function<void(const shell::RegKey&)>& treat);

// The number at the start of a value read as text, whatever its type; nothing when the value
// cannot be read.
std::optional<int32_t> read_number(shell::AppContext& app, const shell::RegKey& key,
                                   std::string_view value_name);

// Writes the number as REG_SZ decimal text ("-5", "1500").
void write_number(shell::AppContext& app, const shell::RegKey& key, std::string_view value_name,
                  int64_t number);

void delete_value(shell::AppContext& app, const shell::RegKey& key, std::string_view value_name);

}  // namespace nimbra::tcpip
