// SPDX-License-Identifier: MIT
// A registry whose every answer comes from the fuzz input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace nimbra::fuzz {

// Each call takes its answer from the input: whether a key opens, which subkey names exist,
// what a value holds and how large it claims to be. It keeps the interface's promise never to
// write beyond what the caller offers.
class InputRegistry : public platform::Registry {
 public:
  explicit InputRegistry(FuzzedDataProvider& input) : input_(input) {}

  int32_t RegOpenKeyExA(platform::HKEY, std::string_view, uint32_t, uint32_t,
                        platform::HKEY& result) override {
    result = ++next_key_;
    return input_.ConsumeBool() ? platform::ERROR_SUCCESS : platform::ERROR_FILE_NOT_FOUND;
  }
  int32_t RegEnumKeyExA(platform::HKEY, uint32_t, std::span<char> name,
                        uint32_t& name_length) override {
    if (input_.remaining_bytes() == 0) return platform::ERROR_NO_MORE_ITEMS;
    switch (input_.ConsumeIntegralInRange<int>(0, 3)) {
      case 0:
        return platform::ERROR_NO_MORE_ITEMS;
      case 1:
        return platform::ERROR_MORE_DATA;
      default: {
        const std::string text = input_.ConsumeRandomLengthString(300);
        const size_t room = std::min<size_t>(name_length, name.size());
        if (room == 0 || text.size() >= room) return platform::ERROR_MORE_DATA;
        std::copy(text.begin(), text.end(), name.begin());
        name[text.size()] = '\0';
        name_length = static_cast<uint32_t>(text.size());
        return platform::ERROR_SUCCESS;
      }
    }
  }
  int32_t RegQueryValueExA(platform::HKEY, std::string_view, uint32_t* type,
                           std::span<uint8_t> data, uint32_t& size) override {
    if (!input_.ConsumeBool()) return platform::ERROR_FILE_NOT_FOUND;
    const uint32_t value_type = input_.ConsumeIntegralInRange<uint32_t>(0, 4);
    const std::string value = input_.ConsumeRandomLengthString(600);
    if (type) *type = value_type;
    const size_t offered = std::min<size_t>(size, data.size());
    size = static_cast<uint32_t>(value.size());
    if (offered == 0) return platform::ERROR_SUCCESS;
    if (value.size() > offered) return platform::ERROR_MORE_DATA;
    std::copy(value.begin(), value.end(), data.begin());
    return platform::ERROR_SUCCESS;
  }
  int32_t RegSetValueExA(platform::HKEY, std::string_view, uint32_t, uint32_t,
                         std::span<const uint8_t>) override {
    return platform::ERROR_ACCESS_DENIED;
  }
  int32_t RegDeleteValueA(platform::HKEY, std::string_view) override {
    return platform::ERROR_ACCESS_DENIED;
  }
  int32_t RegFlushKey(platform::HKEY) override { return platform::ERROR_SUCCESS; }
  int32_t RegCloseKey(platform::HKEY) override { return platform::ERROR_SUCCESS; }

 private:
  FuzzedDataProvider& input_;
  platform::HKEY next_key_ = 0;
};

}  // namespace nimbra::fuzz
