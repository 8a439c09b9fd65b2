// SPDX-License-Identifier: MIT
#include "platform/sim/machine/port_config.h"

#include <charconv>

#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

namespace {

constexpr std::string_view kSection = "ports";

int16_t port_number(std::string_view key, std::string_view text) {
  const std::string_view t = platform::trim_blanks(text);
  int16_t n = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
  if (ec != std::errc() || end != t.data() + t.size() || n < 1 || n > kMaxCommPort) {
    throw MachineError("machine.ini: [ports] " + std::string(key) + ": " + std::string(text) +
                       " is not a port number from 1 to 16");
  }
  return n;
}

std::set<int16_t> port_list(std::string_view key, std::string_view value) {
  std::set<int16_t> ports;
  std::string_view rest = value;
  while (!platform::trim_blanks(rest).empty()) {
    const size_t comma = rest.find(',');
    ports.insert(port_number(key, rest.substr(0, comma)));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return ports;
}

}  // namespace

PortConfig PortConfig::load(const platform::IniFile& ini) {
  PortConfig config;
  const auto section = ini.section(kSection);
  if (!section) return config;
  for (const auto& entry : section->entries) {
    if (platform::iequals(entry.key, "present")) {
      config.present = port_list(entry.key, entry.value);
    } else if (platform::iequals(entry.key, "held")) {
      config.held = port_list(entry.key, entry.value);
    } else if (entry.key.size() > 3 && platform::iequals(entry.key.substr(0, 3), "COM")) {
      config.devices[port_number(entry.key, entry.key.substr(3))] = entry.value;
    } else {
      throw MachineError("machine.ini: [ports] has an unknown key " + entry.key);
    }
  }
  return config;
}

}  // namespace nimbra::sim
