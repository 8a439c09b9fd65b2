// SPDX-License-Identifier: MIT
// Registry reads of the modem detection, under HKEY_LOCAL_MACHINE with read access; every key is
// opened and closed within the call.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "detect/device_catalogue.h"
#include "platform/registry.h"
#include "shell/app_context.h"

namespace nimbra::detect {

// The names of the key's subkeys in enumeration order; empty when the key cannot be opened or
// has none. An index whose enumeration fails is skipped; the walk ends at ERROR_NO_MORE_ITEMS
// or after kMaxSubkeyIndex indexes, whichever comes first.
inline constexpr uint32_t kMaxSubkeyIndex = 10000;
std::vector<std::string> EnumSubKeys(shell::AppContext& app, platform::HKEY root,
                                     std::string_view path);

// The value's text when the key opens, the value reads and its type is REG_SZ.
std::optional<std::string> ReadRegString(shell::AppContext& app, platform::HKEY root,
                                         std::string_view path, std::string_view value_name);

// One instance of a supported USB device found under its NT Enum key.
struct UsbModem {
  std::string instance_id;  // prefix + "\" + instance subkey
  std::string enum_path;    // NT Enum key + "\" + instance subkey
  const SupportedDevice* device;
};

// Every instance subkey of the USB rows (rows 10, 9, 7, 8), in that order and within a row in
// enumeration order. NT family only.
std::vector<UsbModem> FindUsbModems(shell::AppContext& app);

// A COM port number from a PortName value: the decimal number from its fourth character on
// ("COM3" gives 3, "COM12" 12). Text without digits there, or a number too large for a port,
// gives 0.
int16_t port_number(std::string_view port_name);

}  // namespace nimbra::detect
