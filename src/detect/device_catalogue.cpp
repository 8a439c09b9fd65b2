// SPDX-License-Identifier: MIT
#include "detect/device_catalogue.h"

#include <algorithm>

namespace nimbra::detect {

namespace {

constexpr std::array<SupportedDevice, kDeviceCount> kDevices{{
    {"KVT30-J", "ARLEN DENSHI CO.,LTD. KVT30-J", DeviceKind::DataCard, Bus::Pcmcia,
     "PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1\\1",
     "System\\CurrentControlSet\\Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1",
     "Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1", "", "KVT30-J"},
    {"KVT30C-J", "Arlen Denshi KVT30C-J", DeviceKind::DataCard, Bus::Pcmcia,
     "PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30C-J-2C58\\1",
     "System\\CurrentControlSet\\Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30C-J-2C58",
     "Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30C-J-2C58", "", "KVT30C-J"},
    {"KVT31-J", "Arlen Denshi KVT31-J", DeviceKind::DataCard, Bus::Pcmcia,
     "PCMCIA\\ARLEN_DENSHI-KVT31-J-3D9A\\1",
     "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\ARLEN_DENSHI-KVT31-J-3D9A",
     "Enum\\PCMCIA\\ARLEN_DENSHI-KVT31-J-3D9A", "", "KVT31-J"},
    {"KVT31C-J", "Arlen Denshi KVT31C-J", DeviceKind::DataCard, Bus::Pcmcia,
     "PCMCIA\\ARLEN_DENSHI-KVT31C-J-6B27\\1",
     "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\ARLEN_DENSHI-KVT31C-J-6B27",
     "Enum\\PCMCIA\\ARLEN_DENSHI-KVT31C-J-6B27", "", "KVT31C-J"},
    {"KVR20C-J", "TRV KVR20C-J", DeviceKind::DataCard, Bus::Pcmcia,
     "PCMCIA\\TRV-PHS_KVR20C-J-51C2\\1",
     "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\TRV-PHS_KVR20C-J-51C2",
     "Enum\\PCMCIA\\TRV-PHS_KVR20C-J-51C2", "", "KVR20C-J"},
    {"PX-301KV", "Pellam Infra PX-301", DeviceKind::DataCard, Bus::Pcmcia,
     "PCMCIA\\Pellam_Infra-CFX-07-9A03\\1",
     "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\Pellam_Infra-CFX-07-9A03",
     "Enum\\PCMCIA\\Pellam_Infra-CFX-07-9A03", "", "PX-301"},
    {"UCA2-PCX", "Q-R DATA UCA2-PCX", DeviceKind::UsbAdapter, Bus::Usb, "USB\\Vid_0f3a&Pid_0a12",
     "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0f3a&Pid_0a12", "Enum\\WDM_MODEM\\QRDATAUCA2PCX",
     "Enum\\USB\\QRDATAUCA2PCX", ""},
    {"UCA2-PCXG", "Q-R DATA UCA2-PCXG", DeviceKind::UsbAdapter, Bus::Usb, "USB\\Vid_0f3a&Pid_0a1e",
     "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0f3a&Pid_0a1e", "Enum\\WDM_MODEM\\QRDATAUCA2PCXG",
     "Enum\\USB\\QRDATAUCA2PCXG", ""},
    {"Glider X", "MORELL Glider X", DeviceKind::UsbCable, Bus::Usb, "USB\\Vid_0e71&Pid_001c",
     "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0e71&Pid_001c", "Enum\\WDM_MODEM\\MORELL_001C", "",
     ""},
    {"Glider U", "MORELL Glider U", DeviceKind::UsbCable, Bus::Usb, "USB\\Vid_0e71&Pid_0019",
     "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0e71&Pid_0019", "Enum\\MRU_USB\\VID_0E71&PID_0019",
     "", ""},
}};

// Row n of the catalogue, 1-based as the orders are written.
constexpr const SupportedDevice* row(size_t n) {
  return &kDevices[n - 1];
}

template <class Pred>
const SupportedDevice* find_row(Pred matches) {
  const auto it = std::find_if(kDevices.begin(), kDevices.end(), matches);
  return it == kDevices.end() ? nullptr : &*it;
}

}  // namespace

std::span<const SupportedDevice, kDeviceCount> supported_devices() {
  return kDevices;
}

std::string_view enum_key_9x(const SupportedDevice& device, bool windows95) {
  return windows95 && !device.enum_key_win95.empty() ? device.enum_key_win95 : device.enum_key_9x;
}

const SupportedDevice* find_by_nt_instance(std::string_view instance_id) {
  return find_row([&](const SupportedDevice& d) {
    return d.bus == Bus::Pcmcia && d.nt_instance_id == instance_id;
  });
}

const SupportedDevice* find_by_device_name(std::string_view device_name) {
  return find_row([&](const SupportedDevice& d) { return d.device_name == device_name; });
}

const SupportedDevice* find_by_model_code(std::string_view model_code) {
  return find_row([&](const SupportedDevice& d) {
    return d.kind == DeviceKind::DataCard && d.model_code == model_code;
  });
}

std::array<const SupportedDevice*, 4> usb_search_order() {
  return {row(10), row(9), row(7), row(8)};
}

std::array<const SupportedDevice*, 10> driver_match_order() {
  return {row(6), row(5), row(3), row(4), row(1), row(2), row(9), row(10), row(7), row(8)};
}

}  // namespace nimbra::detect
