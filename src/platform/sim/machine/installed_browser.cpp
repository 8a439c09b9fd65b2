// SPDX-License-Identifier: MIT
#include "platform/sim/machine/installed_browser.h"

#include <algorithm>
#include <string>
#include <vector>

namespace nimbra::sim {

namespace {

struct OptionValue {
  std::string_view name;
  platform::RegValue value;
};

platform::RegValue text(std::string_view s) {
  return {platform::REG_SZ, {s.begin(), s.end()}};
}

platform::RegValue dword(uint32_t v) {
  return {platform::REG_DWORD,
          {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
           static_cast<uint8_t>(v >> 24)}};
}

struct OptionDescription {
  std::string_view name;  // below AdvancedOptions
  std::vector<OptionValue> values;
};

std::vector<OptionDescription> http_options() {
  constexpr std::string_view kSettings =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  const auto option = [&](std::string_view name, std::string_view caption, std::string_view setting,
                          uint32_t default_value) {
    return OptionDescription{name,
                             {{"Type", text("checkbox")},
                              {"Text", text(caption)},
                              {"HKeyRoot", dword(0x80000001)},
                              {"RegPath", text(kSettings)},
                              {"ValueName", text(setting)},
                              {"CheckedValue", dword(1)},
                              {"UncheckedValue", dword(0)},
                              {"DefaultValue", dword(default_value)}}};
  };
  return {option("HTTP\\PROXY", "Use HTTP 1.1 through proxy connections", "ProxyHttp1.1", 0),
          option("HTTP\\GENABLE", "Use HTTP 1.1", "EnableHttp1_1", 1)};
}

std::vector<std::string> left_out(const platform::IniFile& ini) {
  std::vector<std::string> items;
  const std::string list = ini.get_or("browser", "leave_out", "");
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const auto item = platform::trim_blanks(std::string_view(list).substr(start, comma - start));
    if (!item.empty()) items.emplace_back(item);
    start = comma + 1;
  }
  return items;
}

}  // namespace

void install_browser(platform::RegistryStore& registry, const platform::IniFile& ini) {
  const auto omitted = left_out(ini);
  const auto is_omitted = [&omitted](std::string_view item) {
    return std::any_of(omitted.begin(), omitted.end(),
                       [item](const std::string& o) { return platform::iequals(o, item); });
  };
  if (is_omitted("Connections")) {
    registry.delete_key(kConnectionsKey);
  } else {
    registry.create_key(kConnectionsKey);
  }
  for (const OptionDescription& option : http_options()) {
    const std::string key = std::string(kAdvancedOptionsKey) + "\\" + std::string(option.name);
    if (is_omitted(option.name)) {
      registry.delete_key(key);
      continue;
    }
    registry.create_key(key);
    for (const OptionValue& v : option.values) {
      if (is_omitted(std::string(option.name) + "\\" + std::string(v.name))) {
        registry.delete_value(key, v.name);
      } else if (!registry.value(key, v.name)) {
        registry.set_value(key, v.name, v.value);
      }
    }
  }
}

void open_installed_browser(platform::FileRegistry& registry, const platform::IniFile& ini) {
  const platform::RegistryStore before = registry.snapshot();
  platform::RegistryStore installed = before;
  install_browser(installed, ini);
  if (installed == before) return;
  registry.modify([&ini](platform::RegistryStore& store) { install_browser(store, ini); });
}

}  // namespace nimbra::sim
