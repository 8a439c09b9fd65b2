// SPDX-License-Identifier: MIT
// The program's registry operations: keys opened, used and closed within one operation, and
// values read with two queries into the shared 257-byte RegBuffer. Paths, names and text are
// UTF-8 here and cross into the registry in the machine's ANSI code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "shell/app_context.h"

namespace nimbra::shell {

// A key held open for the length of one operation; closed when it goes out of scope.
class RegKey {
 public:
  RegKey(AppContext& app, platform::HKEY root, std::string_view path, uint32_t access);
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey();

  bool is_open() const { return result_ == platform::ERROR_SUCCESS; }
  platform::HKEY handle() const { return key_; }

 private:
  platform::Registry& registry_;
  platform::HKEY key_ = 0;
  int32_t result_;
};

// Subkey `index` of the key into `name`, through a 256-character name buffer. The registry's
// result: ERROR_NO_MORE_ITEMS past the last subkey.
int32_t enum_subkey(AppContext& app, const RegKey& key, uint32_t index, std::string& name);

// Reads the value into RegBuffer: a first query offering `size` bytes learns the value's size,
// a second reads it; the second's result is returned. On return `size` holds the size the
// registry reported and `type` the value's type. A value larger than the buffer is refused with
// ERROR_MORE_DATA, as the buffer is never offered beyond its length.
int32_t query_value(AppContext& app, const RegKey& key, std::string_view value_name, uint32_t& type,
                    uint32_t& size);

// The text in RegBuffer after a successful query of `size` bytes, up to its first NUL.
std::string reg_buffer_text(AppContext& app, uint32_t size);

// The value's bytes as text, up to the first NUL, whatever its type; nothing when it cannot be
// read.
std::optional<std::string> read_value_text(AppContext& app, const RegKey& key,
                                           std::string_view value_name);

// The value as text when it can be read and is REG_SZ; nothing otherwise.
std::optional<std::string> read_string_value(AppContext& app, const RegKey& key,
                                             std::string_view value_name);

}  // namespace nimbra::shell
