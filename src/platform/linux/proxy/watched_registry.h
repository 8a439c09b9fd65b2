// SPDX-License-Identifier: MIT
// A registry that tells a listener after each value it set or deleted, so that what follows a
// value (the connection's proxy) looks at it again.
#pragma once

#include <functional>

#include "platform/registry.h"

namespace nimbra::lnx {

class WatchedRegistry final : public platform::Registry {
 public:
  explicit WatchedRegistry(platform::Registry& registry) : registry_(registry) {}
  void set_listener(std::function<void()> listener) { listener_ = std::move(listener); }

  int32_t RegOpenKeyExA(platform::HKEY root, std::string_view subkey, uint32_t options,
                        uint32_t access, platform::HKEY& result) override {
    return registry_.RegOpenKeyExA(root, subkey, options, access, result);
  }
  int32_t RegEnumKeyExA(platform::HKEY key, uint32_t index, std::span<char> name,
                        uint32_t& name_length) override {
    return registry_.RegEnumKeyExA(key, index, name, name_length);
  }
  int32_t RegQueryValueExA(platform::HKEY key, std::string_view value_name, uint32_t* type,
                           std::span<uint8_t> data, uint32_t& size) override {
    return registry_.RegQueryValueExA(key, value_name, type, data, size);
  }
  int32_t RegSetValueExA(platform::HKEY key, std::string_view value_name, uint32_t reserved,
                         uint32_t type, std::span<const uint8_t> data) override {
    return told(registry_.RegSetValueExA(key, value_name, reserved, type, data));
  }
  int32_t RegDeleteValueA(platform::HKEY key, std::string_view value_name) override {
    return told(registry_.RegDeleteValueA(key, value_name));
  }
  int32_t RegFlushKey(platform::HKEY key) override { return registry_.RegFlushKey(key); }
  int32_t RegCloseKey(platform::HKEY key) override { return registry_.RegCloseKey(key); }

 private:
  int32_t told(int32_t result) const {
    if (result == platform::ERROR_SUCCESS && listener_) listener_();
    return result;
  }

  platform::Registry& registry_;
  std::function<void()> listener_;
};

}  // namespace nimbra::lnx
