// SPDX-License-Identifier: MIT
#include "shell/registry_access.h"

#include <algorithm>
#include <array>

#include "platform/text/bytes.h"
#include "shell/ansi_text.h"

namespace nimbra::shell {

namespace {

constexpr size_t kNameBufferLength = 256;

}  // namespace

RegKey::RegKey(AppContext& app, platform::HKEY root, std::string_view path, uint32_t access)
    : registry_(app.platform.registry),
      result_(registry_.RegOpenKeyExA(root, to_ansi(app, path), 0, access, key_)) {}

RegKey::~RegKey() {
  if (is_open()) registry_.RegCloseKey(key_);
}

int32_t enum_subkey(AppContext& app, const RegKey& key, uint32_t index, std::string& name) {
  std::array<char, kNameBufferLength> buffer{};
  uint32_t length = buffer.size();
  const int32_t result = app.platform.registry.RegEnumKeyExA(key.handle(), index, buffer, length);
  if (result == platform::ERROR_SUCCESS) {
    name = from_ansi(app, std::string_view(buffer.data(), std::min<size_t>(length, buffer.size())));
  }
  return result;
}

int32_t query_value(AppContext& app, const RegKey& key, std::string_view value_name, uint32_t& type,
                    uint32_t& size) {
  platform::Registry& registry = app.platform.registry;
  const std::string name = to_ansi(app, value_name);
  registry.RegQueryValueExA(key.handle(), name, &type, app.RegBuffer, size);
  return registry.RegQueryValueExA(key.handle(), name, &type, app.RegBuffer, size);
}

std::string reg_buffer_text(AppContext& app, uint32_t size) {
  const size_t filled = std::min<size_t>(size, app.RegBuffer.size());
  return from_ansi(app, bytes::get_cstr(app.RegBuffer, 0, filled));
}

namespace {

std::optional<std::string> read_text(AppContext& app, const RegKey& key,
                                     std::string_view value_name, bool text_type_only) {
  uint32_t type = platform::REG_NONE;
  uint32_t size = 1;
  if (query_value(app, key, value_name, type, size) != platform::ERROR_SUCCESS) return {};
  if (text_type_only && type != platform::REG_SZ) return {};
  return reg_buffer_text(app, size);
}

}  // namespace

std::optional<std::string> read_value_text(AppContext& app, const RegKey& key,
                                           std::string_view value_name) {
  return read_text(app, key, value_name, false);
}

std::optional<std::string> read_string_value(AppContext& app, const RegKey& key,
                                             std::string_view value_name) {
  return read_text(app, key, value_name, true);
}

}  // namespace nimbra::shell
