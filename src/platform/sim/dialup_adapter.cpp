#include "platform/sim/dialup_adapter.h"

#include <charconv>
#include <string>
#include <string_view>

namespace nimbra::sim {

namespace {

constexpr std::string_view kNetClass =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net";
constexpr uint32_t kLargestMtu = 65535;

std::optional<std::string> text_value(const platform::RegistryStore& registry,
                                      const std::string& key, std::string_view name) {
  const auto value = registry.value(key, name);
  if (!value || (value->type != platform::REG_SZ && value->type != platform::REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  return std::string(value->data.begin(), value->data.end());
}

}  // namespace

std::optional<uint32_t> dialup_adapter_mtu(const platform::RegistryStore& registry,
                                           platform::Language language) {
  const std::string_view adapter =
      language == platform::Language::Japanese ? "ダイヤルアップ アダプタ" : "Dial-Up Adapter";
  for (const std::string& sub : registry.subkeys(kNetClass)) {
    const std::string key = std::string(kNetClass) + "\\" + sub;
    if (text_value(registry, key, "DriverDesc") != adapter) continue;
    const auto text = text_value(registry, key, "MaxMTU");
    uint32_t mtu = 0;
    if (!text ||
        std::from_chars(text->data(), text->data() + text->size(), mtu).ec != std::errc() ||
        mtu == 0 || mtu > kLargestMtu) {
      continue;
    }
    return mtu;
  }
  return std::nullopt;
}

}  // namespace nimbra::sim
