// SPDX-License-Identifier: MIT
#include "platform/sim/dialup/ras_modems.h"

#include <charconv>

#include "platform/sim/dialup/dialup_settings.h"
#include "platform/sim/dialup/ini_text.h"

namespace nimbra::sim {

namespace {

constexpr std::string_view kModemClassNt =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
    "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
constexpr std::string_view kModemClass9x =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Modem";
constexpr std::string_view kCardSections[] = {"card", "card2"};
constexpr size_t kMaxModems = 32;

int16_t port_of(std::string_view attached_to) {
  if (attached_to.size() < 4 || !platform::iequals(attached_to.substr(0, 3), "COM")) return 0;
  int16_t port = 0;
  const auto digits = attached_to.substr(3);
  std::from_chars(digits.data(), digits.data() + digits.size(), port);
  return port;
}

}  // namespace

std::vector<RasModem> ras_modems(const platform::RegistryStore& registry,
                                 const MachineConfig& config) {
  const bool nt = is_nt_family(config.windows);
  const std::string class_key(nt ? kModemClassNt : kModemClass9x);
  std::vector<RasModem> modems;
  for (const std::string& driver : registry.subkeys(class_key)) {
    if (modems.size() == kMaxModems) break;
    const std::string key = class_key + "\\" + driver;
    const std::string description = registry.text_value(key, "DriverDesc").value_or("");
    if (description.empty()) continue;
    RasModem modem{platform::to_ansi(description, config.code_page()),
                   port_of(registry.text_value(key, "AttachedTo").value_or(""))};
    // The machine installs its devices in the order of their sections, driver key 0000 first.
    const size_t ordinal = ini_number(driver, kMaxModems);
    if (nt && ordinal < std::size(kCardSections)) {
      if (const auto suffix = config.ini.get(kCardSections[ordinal], "ras_suffix")) {
        modem.name += " " + *suffix;
      }
    }
    modems.push_back(std::move(modem));
  }
  return modems;
}

}  // namespace nimbra::sim
