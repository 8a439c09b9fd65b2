// SPDX-License-Identifier: MIT
#include "dialup/session/device_acceptance.h"

#include <algorithm>

#include "detect/device_catalogue.h"

namespace nimbra::dialup {

bool device_accepted(std::string_view device_name, bool nt_family) {
  const auto devices = detect::supported_devices();
  return std::any_of(devices.begin(), devices.end(), [&](const detect::SupportedDevice& d) {
    const bool usb_row = d.kind != detect::DeviceKind::DataCard;
    if (nt_family && usb_row) return device_name.starts_with(d.device_name);
    return device_name == d.device_name;
  });
}

}  // namespace nimbra::dialup
