// SPDX-License-Identifier: MIT
// The registry as an in-memory tree: keys under the four predefined roots, each with named,
// typed values. Names compare case-insensitively (ASCII folding) and keep the case they were
// created with. Text is UTF-8 here; conversion to a code page happens at the ANSI API.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace nimbra::platform {

// REG_SZ and REG_EXPAND_SZ hold UTF-8 text without a terminator; REG_MULTI_SZ the UTF-8
// strings each followed by NUL, then a final NUL; REG_DWORD four little-endian bytes; any other
// type raw bytes.
struct RegValue {
  uint32_t type = REG_NONE;
  std::vector<uint8_t> data;
  bool operator==(const RegValue&) const = default;
};

struct NamedRegValue {
  std::string name;  // empty for the key's default value
  RegValue value;
  bool operator==(const NamedRegValue&) const = default;
};

// Key paths are "ROOT\name\name...", the root in its long form (HKEY_LOCAL_MACHINE) or short
// form (HKLM). Empty names between separators are skipped, so a doubled or trailing '\' is
// harmless.
class RegistryStore {
 public:
  // Lengths count UTF-16 code units, as Windows does.
  static constexpr size_t kMaxKeyNameLength = 255;
  static constexpr size_t kMaxValueNameLength = 16383;
  static constexpr size_t kMaxDepth = 512;  // keys below the root
  static constexpr size_t kMaxValueSize = size_t{1} << 20;

  // Why `path` cannot name a key; empty when it can.
  static std::string key_path_error(std::string_view path);
  // Why the value cannot be stored under `name`; empty when it can. Text types must hold valid
  // UTF-8, names must hold no control characters.
  static std::string value_error(std::string_view name, const RegValue& value);

  bool key_exists(std::string_view path) const;
  // Creates the key and any missing parents. False when the path is not valid.
  bool create_key(std::string_view path);
  // Deletes the key with everything below it. False when it is missing or a root.
  bool delete_key(std::string_view path);
  // Names of the direct subkeys in case-insensitive alphabetical order.
  std::vector<std::string> subkeys(std::string_view path) const;

  // Sets or replaces the value (a replaced value keeps its name's case and its place), creating
  // the key when it is missing. False when the path, the name or the value is not valid.
  bool set_value(std::string_view path, std::string_view name, RegValue value);
  bool set_string(std::string_view path, std::string_view name, std::string_view utf8);
  bool set_dword(std::string_view path, std::string_view name, uint32_t number);
  bool set_binary(std::string_view path, std::string_view name, std::span<const uint8_t> bytes);
  std::optional<RegValue> value(std::string_view path, std::string_view name) const;
  // A REG_SZ or REG_EXPAND_SZ value's text (UTF-8) up to its first NUL; nothing for a missing
  // value or one of another type.
  std::optional<std::string> text_value(std::string_view path, std::string_view name) const;
  bool delete_value(std::string_view path, std::string_view name);
  // The key's values in the order they were first set.
  std::vector<NamedRegValue> values(std::string_view path) const;

  // Visits every key, roots included, parents before children and siblings in enumeration
  // order, with its full path (long root name, stored case) and its values.
  void for_each_key(const std::function<void(std::string_view path,
                                             std::span<const NamedRegValue> values)>& visit) const;

  bool operator==(const RegistryStore&) const = default;

 private:
  // Case-insensitive order that finds a stored name from any string without copying it.
  struct FoldedLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  struct StoredValue {
    uint64_t order = 0;  // when the name was first set; gives enumeration order
    RegValue value;
  };
  // Maps keep lookups logarithmic, so a large file cannot make loading quadratic.
  struct Key {
    std::map<std::string, Key, FoldedLess> subkeys;
    std::map<std::string, StoredValue, FoldedLess> values;
    uint64_t next_order = 0;
    std::vector<NamedRegValue> ordered_values() const;
    bool operator==(const Key& other) const;
  };

  const Key* find(std::string_view path) const;
  Key* find(std::string_view path);
  static void visit_key(
      const Key& key, std::string& path,
      const std::function<void(std::string_view, std::span<const NamedRegValue>)>& visit);

  std::array<Key, 4> roots_;
};

}  // namespace nimbra::platform
