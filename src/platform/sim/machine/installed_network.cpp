// SPDX-License-Identifier: MIT
#include "platform/sim/machine/installed_network.h"

#include <array>
#include <charconv>
#include <optional>
#include <string>

namespace nimbra::sim {

namespace {

constexpr std::string_view kNetworkCard = "0000";
constexpr std::array<std::string_view, 2> kDialupSlots = {"0001", "0002"};

std::string_view dialup_adapter_name(platform::Language language) {
  return language == platform::Language::Japanese ? "ダイヤルアップ アダプタ" : "Dial-Up Adapter";
}

struct NetworkShape {
  bool class_net = true;
  bool mstcp = true;
  size_t dialup_adapters = 1;
  std::optional<std::string> max_mtu;
  std::optional<std::string> default_rcv_window;
};

bool is_absent(const platform::IniFile& ini, std::string_view key) {
  const auto value = ini.get("network", key);
  if (!value || platform::iequals(*value, "present")) return false;
  if (platform::iequals(*value, "absent")) return true;
  throw MachineError("[network] " + std::string(key) + " = " + *value +
                     " is not present or absent");
}

// A number the registry is to hold as text: any whole decimal number, a large or negative one
// too, so that odd values can be tried.
std::optional<std::string> number_text(const platform::IniFile& ini, std::string_view key) {
  const auto value = ini.get("network", key);
  if (!value) return std::nullopt;
  long long n = 0;
  const auto [end, ec] = std::from_chars(value->data(), value->data() + value->size(), n);
  if (ec != std::errc() || end != value->data() + value->size()) {
    throw MachineError("[network] " + std::string(key) + " = " + *value + " is not a number");
  }
  return value;
}

NetworkShape load_shape(const platform::IniFile& ini) {
  NetworkShape shape;
  shape.class_net = !is_absent(ini, "class_net");
  shape.mstcp = !is_absent(ini, "mstcp");
  const std::string adapters = ini.get_or("network", "dialup_adapters", "1");
  if (adapters != "0" && adapters != "1" && adapters != "2") {
    throw MachineError("[network] dialup_adapters = " + adapters + " is not 0, 1 or 2");
  }
  shape.dialup_adapters = static_cast<size_t>(adapters[0] - '0');
  shape.max_mtu = number_text(ini, "max_mtu");
  shape.default_rcv_window = number_text(ini, "default_rcv_window");
  return shape;
}

std::string below(std::string_view key, std::string_view name) {
  return std::string(key) + "\\" + std::string(name);
}

void shape_class_net(platform::RegistryStore& store, const NetworkShape& shape,
                     platform::Language language) {
  if (!shape.class_net) {
    store.delete_key(kClassNetKey);
    return;
  }
  const std::string card = below(kClassNetKey, kNetworkCard);
  if (!store.key_exists(card)) store.set_string(card, "DriverDesc", "PCI Fast Ethernet Adapter");
  for (size_t i = 0; i < kDialupSlots.size(); ++i) {
    const std::string adapter = below(kClassNetKey, kDialupSlots[i]);
    if (i >= shape.dialup_adapters) {
      store.delete_key(adapter);
    } else if (!store.key_exists(adapter)) {
      store.set_string(adapter, "DriverDesc", dialup_adapter_name(language));
      if (shape.max_mtu) store.set_string(adapter, "MaxMTU", *shape.max_mtu);
    }
  }
}

void shape_mstcp(platform::RegistryStore& store, const NetworkShape& shape) {
  if (!shape.mstcp) {
    store.delete_key(kMstcpKey);
  } else if (!store.key_exists(kMstcpKey)) {
    store.create_key(kMstcpKey);
    if (shape.default_rcv_window) {
      store.set_string(kMstcpKey, "DefaultRcvWindow", *shape.default_rcv_window);
    }
  }
}

}  // namespace

void install_network(const MachineConfig& config, platform::FileRegistry& registry) {
  constexpr uint32_t kWindows9xPlatform = 1;
  if (version_record_of(config.windows).platform_id != kWindows9xPlatform) return;
  const NetworkShape shape = load_shape(config.ini);
  const auto apply = [&](platform::RegistryStore& store) {
    shape_class_net(store, shape, config.language);
    shape_mstcp(store, shape);
  };
  // Untouched when already in shape, so opening a machine never rewrites its registry needlessly.
  platform::RegistryStore shaped = registry.snapshot();
  apply(shaped);
  if (shaped == registry.snapshot()) return;
  if (!registry.modify(apply)) throw MachineError("cannot write the registry of the machine");
}

std::optional<uint32_t> dialup_adapter_mtu(const platform::RegistryStore& registry,
                                           platform::Language language) {
  constexpr uint32_t kLargestMtu = 65535;
  for (const std::string& sub : registry.subkeys(kClassNetKey)) {
    const std::string key = below(kClassNetKey, sub);
    if (registry.text_value(key, "DriverDesc") != dialup_adapter_name(language)) continue;
    const auto mtu_text = registry.text_value(key, "MaxMTU");
    uint32_t mtu = 0;
    if (!mtu_text ||
        std::from_chars(mtu_text->data(), mtu_text->data() + mtu_text->size(), mtu).ec !=
            std::errc() ||
        mtu == 0 || mtu > kLargestMtu) {
      continue;
    }
    return mtu;
  }
  return std::nullopt;
}

}  // namespace nimbra::sim
