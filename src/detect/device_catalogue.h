// SPDX-License-Identifier: MIT
// The supported cards, adapters and cables, with the strings under which Windows registers them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace nimbra::detect {

enum class DeviceKind { DataCard, UsbAdapter, UsbCable };
enum class Bus { Pcmcia, Usb };

struct SupportedDevice {
  std::string_view model_name;   // shown in ModemCombo
  std::string_view device_name;  // the modem's DriverDesc on 9x, the name RAS gives it
  DeviceKind kind;
  Bus bus;
  // PCMCIA: the whole instance identity (always instance 1); USB: bus, vendor and product id,
  // to which "\" and the instance subkey name are appended.
  std::string_view nt_instance_id;
  std::string_view nt_enum_key;
  std::string_view enum_key_9x;     // Windows 98 and Me; also Windows 95 unless below says else
  std::string_view enum_key_win95;  // adapters only: their Windows 95 key; empty otherwise
  std::string_view model_code;      // data cards: the answer to ATI4; empty otherwise
};

inline constexpr size_t kDeviceCount = 10;

// Rows 1 to 10 in catalogue order.
std::span<const SupportedDevice, kDeviceCount> supported_devices();

// The 9x Enum key of the row on the given 9x system.
std::string_view enum_key_9x(const SupportedDevice& device, bool windows95);

// Exact, case-sensitive lookups; nothing when no row matches.
const SupportedDevice* find_by_nt_instance(std::string_view instance_id);  // PCMCIA rows
const SupportedDevice* find_by_device_name(std::string_view device_name);
const SupportedDevice* find_by_model_code(std::string_view model_code);  // data cards

// Rows in the orders the walks try them (the NT walk tries rows 1 to 6 as the instance lookup
// does).
std::array<const SupportedDevice*, 4> usb_search_order();     // rows 10, 9, 7, 8
std::array<const SupportedDevice*, 10> driver_match_order();  // rows 6, 5, 3, 4, 1, 2, 9, 10, 7, 8

}  // namespace nimbra::detect
