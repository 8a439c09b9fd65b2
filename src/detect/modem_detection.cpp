// SPDX-License-Identifier: MIT
#include "detect/modem_detection.h"

#include <string>
#include <string_view>

#include "detect/device_catalogue.h"
#include "detect/registry_helpers.h"
#include "shell/messages.h"
#include "shell/registry_access.h"

namespace nimbra::detect {

namespace {

using platform::HKEY_LOCAL_MACHINE;
using platform::KEY_READ;
using shell::AppContext;
using shell::RegKey;

constexpr std::string_view kModemServiceList = "System\\CurrentControlSet\\Services\\modem\\Enum";
constexpr std::string_view kModemDriverClass = "System\\CurrentControlSet\\Services\\class\\modem";

// Further hits still count towards "two or more" but have no slot.
void record(AppContext& app, const SupportedDevice& device) {
  if (static_cast<size_t>(app.ModemCount) >= shell::kModemSlots) return;
  app.ModemList[static_cast<size_t>(app.ModemCount)] = {
      std::string(device.device_name), std::string(device.model_name), app.LastPortRead};
  ++app.ModemCount;
}

// Reads PortName under `path` into the last port read when the key opens; false when it does
// not. A PortName that cannot be read leaves the last port read as it was; one of another type
// than text is read as text all the same.
bool read_port_name(AppContext& app, const std::string& path) {
  const RegKey key(app, HKEY_LOCAL_MACHINE, path, KEY_READ);
  if (!key.is_open()) return false;
  if (const auto name = shell::read_value_text(app, key, "PortName")) {
    app.LastPortRead = port_number(*name);
  }
  return true;
}

void match_instance(AppContext& app, const std::string& instance_id,
                    const std::vector<UsbModem>& usb) {
  if (const SupportedDevice* card = find_by_nt_instance(instance_id)) {
    if (read_port_name(app, std::string(card->nt_enum_key) + "\\1\\Device Parameters")) {
      record(app, *card);
    }
    return;
  }
  for (const UsbModem& modem : usb) {
    if (modem.instance_id != instance_id) continue;
    if (read_port_name(app, modem.enum_path + "\\Device Parameters")) record(app, *modem.device);
  }
}

void nt_walk(AppContext& app) {
  const std::vector<UsbModem> usb = FindUsbModems(app);
  bool count_unreadable = false;
  {
    const RegKey list(app, HKEY_LOCAL_MACHINE, kModemServiceList, KEY_READ);
    if (list.is_open()) {
      uint32_t type = platform::REG_NONE;
      uint32_t size = 1;
      if (shell::query_value(app, list, "Count", type, size) != platform::ERROR_SUCCESS) {
        count_unreadable = true;
      } else {
        // The first byte of the value's data, whether it is stored as a number or as bytes.
        const int instances = app.RegBuffer[0];
        for (int i = 0; i < instances; ++i) {
          const auto instance_id = shell::read_value_text(app, list, std::to_string(i));
          if (instance_id) match_instance(app, *instance_id, usb);
        }
      }
    }
  }
  if (count_unreadable) shell::fail_with_message(app, 119);
  if (app.ModemCount == 0) shell::fail_with_message(app, 120);
  if (app.ModemCount >= 2) shell::fail_with_message(app, 167);
}

const SupportedDevice* driver_row(std::string_view driver_desc) {
  for (const SupportedDevice* device : driver_match_order()) {
    if (device->device_name == driver_desc) return device;
  }
  return nullptr;
}

// The driver value has the form class + "\" + driver subkey; nothing without a backslash.
std::optional<std::string_view> driver_subkey(std::string_view driver) {
  const size_t first = driver.find('\\');
  if (first == std::string_view::npos) return {};
  const std::string_view rest = driver.substr(first + 1);
  return rest.substr(0, rest.find('\\'));
}

// Opening the port proves that the modem is there and free; any error excludes it.
bool port_opens(AppContext& app, int16_t port) {
  platform::Comm& comm = app.platform.comm;
  if (comm.set_CommPort(port) != platform::CommError::None) return false;
  const bool opened = comm.set_PortOpen(true) == platform::CommError::None;
  comm.set_PortOpen(false);
  return opened;
}

void examine_driver(AppContext& app, const std::string& driver_key) {
  const auto desc = ReadRegString(app, HKEY_LOCAL_MACHINE,
                                  std::string(kModemDriverClass) + "\\" + driver_key, "DriverDesc");
  if (!desc) return;
  const SupportedDevice* device = driver_row(*desc);
  if (!device) return;
  const std::string enum_key(enum_key_9x(*device, app.OsCode == 10));
  for (const std::string& instance : EnumSubKeys(app, HKEY_LOCAL_MACHINE, enum_key)) {
    const std::string instance_key = enum_key + "\\" + instance;
    const auto driver = ReadRegString(app, HKEY_LOCAL_MACHINE, instance_key, "Driver");
    if (!driver || driver_subkey(*driver) != driver_key) continue;
    const auto port_name = ReadRegString(app, HKEY_LOCAL_MACHINE, instance_key, "PortName");
    if (!port_name) continue;
    app.LastPortRead = port_number(*port_name);
    if (port_opens(app, app.LastPortRead)) record(app, *device);
  }
}

void walk_9x(AppContext& app) {
  for (const std::string& driver_key : EnumSubKeys(app, HKEY_LOCAL_MACHINE, kModemDriverClass)) {
    examine_driver(app, driver_key);
  }
  if (app.ModemCount == 0) shell::fail_with_message(app, 119);
  if (app.ModemCount >= 2) shell::fail_with_message(app, 166);
}

}  // namespace

void detect_modems(AppContext& app) {
  switch (app.OsCode) {
    case 10:
    case 20:
    case 30:
      walk_9x(app);
      break;
    case 130:
    case 140:
      nt_walk(app);
      break;
    case 120:
      shell::fail_with_message(app, 111);
    default:
      // NT 3.x: start-up goes on without a modem.
      break;
  }
}

}  // namespace nimbra::detect
