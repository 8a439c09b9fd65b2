// SPDX-License-Identifier: MIT
#include "platform/sim/machine/installed_hardware.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/sim/machine/port_config.h"

namespace nimbra::sim {

namespace {

// What the drivers of the supported devices register: the driver description, the hardware id
// (PCMCIA: without the instance number; USB: bus, vendor and product), where the NT family
// enumerates the device, and where the 9x family does (the adapters' USB drivers moved from
// Windows 95 to 98).
struct Hardware {
  std::string_view model;
  std::string_view driver_desc;
  bool usb;
  std::string_view hardware_id;
  std::string_view nt_enum_key;
  std::string_view enum_key_9x;
  std::string_view enum_key_win95;
};

constexpr std::array<Hardware, 10> kHardware{{
    {"KVT30-J", "ARLEN DENSHI CO.,LTD. KVT30-J", false, "PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1",
     "System\\CurrentControlSet\\Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1",
     "Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1", ""},
    {"KVT30C-J", "Arlen Denshi KVT30C-J", false, "PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30C-J-2C58",
     "System\\CurrentControlSet\\Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30C-J-2C58",
     "Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30C-J-2C58", ""},
    {"KVT31-J", "Arlen Denshi KVT31-J", false, "PCMCIA\\ARLEN_DENSHI-KVT31-J-3D9A",
     "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\ARLEN_DENSHI-KVT31-J-3D9A",
     "Enum\\PCMCIA\\ARLEN_DENSHI-KVT31-J-3D9A", ""},
    {"KVT31C-J", "Arlen Denshi KVT31C-J", false, "PCMCIA\\ARLEN_DENSHI-KVT31C-J-6B27",
     "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\ARLEN_DENSHI-KVT31C-J-6B27",
     "Enum\\PCMCIA\\ARLEN_DENSHI-KVT31C-J-6B27", ""},
    {"KVR20C-J", "TRV KVR20C-J", false, "PCMCIA\\TRV-PHS_KVR20C-J-51C2",
     "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\TRV-PHS_KVR20C-J-51C2",
     "Enum\\PCMCIA\\TRV-PHS_KVR20C-J-51C2", ""},
    {"PX-301KV", "Pellam Infra PX-301", false, "PCMCIA\\Pellam_Infra-CFX-07-9A03",
     "SYSTEM\\CurrentControlSet\\Enum\\PCMCIA\\Pellam_Infra-CFX-07-9A03",
     "Enum\\PCMCIA\\Pellam_Infra-CFX-07-9A03", ""},
    {"UCA2-PCX", "Q-R DATA UCA2-PCX", true, "USB\\Vid_0f3a&Pid_0a12",
     "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0f3a&Pid_0a12", "Enum\\WDM_MODEM\\QRDATAUCA2PCX",
     "Enum\\USB\\QRDATAUCA2PCX"},
    {"UCA2-PCXG", "Q-R DATA UCA2-PCXG", true, "USB\\Vid_0f3a&Pid_0a1e",
     "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0f3a&Pid_0a1e", "Enum\\WDM_MODEM\\QRDATAUCA2PCXG",
     "Enum\\USB\\QRDATAUCA2PCXG"},
    {"Glider X", "MORELL Glider X", true, "USB\\Vid_0e71&Pid_001c",
     "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0e71&Pid_001c", "Enum\\WDM_MODEM\\MORELL_001C", ""},
    {"Glider U", "MORELL Glider U", true, "USB\\Vid_0e71&Pid_0019",
     "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_0e71&Pid_0019", "Enum\\MRU_USB\\VID_0E71&PID_0019",
     ""},
}};

constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE\\";
constexpr std::string_view kModemClassGuid = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
constexpr std::string_view kSections[] = {"card", "card2"};

const Hardware* find_hardware(std::string_view model) {
  const auto it = std::find_if(kHardware.begin(), kHardware.end(),
                               [&](const Hardware& h) { return h.model == model; });
  return it == kHardware.end() ? nullptr : &*it;
}

const Hardware& hardware_of(std::string_view model) {
  const Hardware* h = find_hardware(model);
  if (!h) throw MachineError("no Korvo device is called " + std::string(model));
  return *h;
}

bool is_nt_family(WindowsVersion windows) {
  return windows != WindowsVersion::Win95 && windows != WindowsVersion::Win98 &&
         windows != WindowsVersion::WinMe;
}

std::string key(std::string_view path) {
  return std::string(kMachine) + std::string(path);
}

std::string driver_number(size_t ordinal) {
  char number[24];
  std::snprintf(number, sizeof number, "%04zu", ordinal);
  return number;
}

std::string com_name(int16_t port) {
  return "COM" + std::to_string(port);
}

// The instance subkey of device `i`: as machine.ini names it, else the usual one for the how
// many-th device of its model it is.
std::string instance_of(const std::vector<CardInstall>& cards, size_t i) {
  if (!cards[i].instance.empty()) return cards[i].instance;
  const auto same_model =
      std::count_if(cards.begin(), cards.begin() + static_cast<ptrdiff_t>(i),
                    [&](const CardInstall& c) { return c.device == cards[i].device; });
  return default_instance(cards[i].device, static_cast<size_t>(same_model));
}

void install_nt(platform::RegistryStore& reg, const std::vector<CardInstall>& cards) {
  const std::string service_list = key("System\\CurrentControlSet\\Services\\modem\\Enum");
  for (size_t i = 0; i < cards.size(); ++i) {
    const Hardware& hw = hardware_of(cards[i].device);
    const std::string instance = instance_of(cards, i);
    const std::string device_key = key(hw.nt_enum_key) + "\\" + instance;
    const std::string driver = std::string(kModemClassGuid) + "\\" + driver_number(i);
    reg.set_string(device_key, "DeviceDesc", hw.driver_desc);
    reg.set_string(device_key, "Class", "Modem");
    reg.set_string(device_key, "ClassGUID", kModemClassGuid);
    reg.set_string(device_key, "Driver", driver);
    reg.set_string(device_key + "\\Device Parameters", "PortName", com_name(cards[i].port));
    const std::string class_key = key("SYSTEM\\CurrentControlSet\\Control\\Class\\") + driver;
    reg.set_string(class_key, "DriverDesc", hw.driver_desc);
    reg.set_string(class_key, "AttachedTo", com_name(cards[i].port));
    reg.set_string(service_list, std::to_string(i), std::string(hw.hardware_id) + "\\" + instance);
  }
  reg.set_dword(service_list, "Count", static_cast<uint32_t>(cards.size()));
  reg.set_dword(service_list, "NextInstance", static_cast<uint32_t>(cards.size()));
}

void install_9x(platform::RegistryStore& reg, WindowsVersion windows,
                const std::vector<CardInstall>& cards) {
  for (size_t i = 0; i < cards.size(); ++i) {
    const Hardware& hw = hardware_of(cards[i].device);
    const std::string instance = instance_of(cards, i);
    const std::string_view enum_key = windows == WindowsVersion::Win95 && !hw.enum_key_win95.empty()
                                          ? hw.enum_key_win95
                                          : hw.enum_key_9x;
    const std::string driver_key = driver_number(i);
    const std::string class_key =
        key("System\\CurrentControlSet\\Services\\Class\\Modem\\") + driver_key;
    reg.set_string(class_key, "DriverDesc", hw.driver_desc);
    reg.set_string(class_key, "AttachedTo", com_name(cards[i].port));
    const std::string device_key = key(enum_key) + "\\" + instance;
    reg.set_string(device_key, "DeviceDesc", hw.driver_desc);
    reg.set_string(device_key, "Class", "Modem");
    reg.set_string(device_key, "Driver", "Modem\\" + driver_key);
    reg.set_string(device_key, "PortName", com_name(cards[i].port));
  }
}

int16_t port_of(std::string_view section, const std::string& text) {
  int value = 0;
  const bool digits =
      !text.empty() && text.size() <= 2 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digits) value = std::stoi(text);
  if (value < 1 || value > kMaxCommPort) {
    throw MachineError("machine.ini: [" + std::string(section) + "] port = " + text +
                       " is not a port number from 1 to " + std::to_string(kMaxCommPort));
  }
  return static_cast<int16_t>(value);
}

}  // namespace

bool is_known_device(std::string_view model) {
  return find_hardware(model) != nullptr;
}

std::string default_instance(std::string_view model, size_t copy) {
  const Hardware& hw = hardware_of(model);
  if (!hw.usb) return std::to_string(copy + 1);
  return "5&3a91c04&0&" + std::to_string(copy + 1);
}

void install_hardware(platform::RegistryStore& registry, WindowsVersion windows,
                      const std::vector<CardInstall>& cards) {
  if (cards.empty()) return;
  if (is_nt_family(windows)) {
    install_nt(registry, cards);
  } else {
    install_9x(registry, windows, cards);
  }
}

std::vector<CardInstall> load_installed_cards(const platform::IniFile& ini) {
  std::vector<CardInstall> cards;
  for (const std::string_view section : kSections) {
    if (!ini.section(section)) break;
    CardInstall card;
    card.device = ini.get_or(section, "device", "");
    if (!is_known_device(card.device)) {
      throw MachineError("machine.ini: [" + std::string(section) + "] device = " + card.device +
                         " is not a supported card, adapter or cable");
    }
    card.port = port_of(section, ini.get_or(section, "port", ""));
    card.instance = ini.get_or(section, "instance", "");
    cards.push_back(std::move(card));
  }
  return cards;
}

void save_installed_cards(platform::IniFile& ini, const std::vector<CardInstall>& cards) {
  for (size_t i = 0; i < cards.size() && i < std::size(kSections); ++i) {
    ini.set(kSections[i], "device", cards[i].device);
    ini.set(kSections[i], "port", std::to_string(cards[i].port));
    if (!cards[i].instance.empty()) ini.set(kSections[i], "instance", cards[i].instance);
  }
}

}  // namespace nimbra::sim
