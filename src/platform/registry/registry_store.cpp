// SPDX-License-Identifier: MIT
#include "platform/registry/registry_store.h"

#include <algorithm>
#include <utility>

#include "platform/text/utf16.h"

namespace nimbra::platform {

namespace {

constexpr std::array<std::string_view, 4> kRootNames = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                        "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
constexpr std::array<std::string_view, 4> kRootShortNames = {"HKCR", "HKCU", "HKLM", "HKU"};

char fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int compare_folded(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(fold(a[i]));
    const auto y = static_cast<unsigned char>(fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool equal_folded(std::string_view a, std::string_view b) {
  return compare_folded(a, b) == 0;
}

struct SplitPath {
  size_t root = 0;
  std::vector<std::string_view> names;
};

std::optional<SplitPath> split_path(std::string_view path) {
  const size_t end_of_root = std::min(path.find('\\'), path.size());
  const std::string_view root = path.substr(0, end_of_root);
  SplitPath split;
  for (split.root = 0; split.root < kRootNames.size(); ++split.root) {
    if (equal_folded(root, kRootNames[split.root]) ||
        equal_folded(root, kRootShortNames[split.root])) {
      break;
    }
  }
  if (split.root == kRootNames.size()) return std::nullopt;
  size_t pos = end_of_root;
  while (pos < path.size()) {
    const size_t start = pos + 1;
    pos = std::min(path.find('\\', start), path.size());
    if (pos > start) split.names.push_back(path.substr(start, pos - start));
  }
  return split;
}

bool has_control_character(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string name_error(std::string_view name, size_t max_length, std::string_view what) {
  if (!is_valid_utf8(name)) return std::string(what) + " is not valid UTF-8";
  if (has_control_character(name)) return std::string(what) + " holds a control character";
  if (utf16_length(name) > max_length) {
    return std::string(what) + " longer than " + std::to_string(max_length) + " characters";
  }
  return {};
}

bool is_text_type(uint32_t type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

bool RegistryStore::FoldedLess::operator()(std::string_view a, std::string_view b) const {
  return compare_folded(a, b) < 0;
}

std::vector<NamedRegValue> RegistryStore::Key::ordered_values() const {
  std::vector<std::pair<uint64_t, NamedRegValue>> ordered;
  ordered.reserve(values.size());
  for (const auto& [name, stored] : values) {
    ordered.emplace_back(stored.order, NamedRegValue{name, stored.value});
  }
  std::sort(ordered.begin(), ordered.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<NamedRegValue> out;
  out.reserve(ordered.size());
  for (auto& entry : ordered) out.push_back(std::move(entry.second));
  return out;
}

bool RegistryStore::Key::operator==(const Key& other) const {
  return subkeys == other.subkeys && ordered_values() == other.ordered_values();
}

std::string RegistryStore::key_path_error(std::string_view path) {
  const auto split = split_path(path);
  if (!split) {
    return "key outside HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT and HKEY_USERS";
  }
  if (split->names.size() > kMaxDepth) {
    return "key nested deeper than " + std::to_string(kMaxDepth) + " levels";
  }
  for (const std::string_view name : split->names) {
    std::string error = name_error(name, kMaxKeyNameLength, "key name");
    if (!error.empty()) return error;
  }
  return {};
}

std::string RegistryStore::value_error(std::string_view name, const RegValue& value) {
  std::string error = name_error(name, kMaxValueNameLength, "value name");
  if (!error.empty()) return error;
  if (value.data.size() > kMaxValueSize) {
    return "value larger than " + std::to_string(kMaxValueSize) + " bytes";
  }
  const std::string_view text(reinterpret_cast<const char*>(value.data.data()), value.data.size());
  if (is_text_type(value.type) && !is_valid_utf8(text)) return "text value is not valid UTF-8";
  return {};
}

const RegistryStore::Key* RegistryStore::find(std::string_view path) const {
  const auto split = split_path(path);
  if (!split) return nullptr;
  const Key* key = &roots_[split->root];
  for (const std::string_view name : split->names) {
    const auto it = key->subkeys.find(name);
    if (it == key->subkeys.end()) return nullptr;
    key = &it->second;
  }
  return key;
}

RegistryStore::Key* RegistryStore::find(std::string_view path) {
  return const_cast<Key*>(std::as_const(*this).find(path));
}

bool RegistryStore::key_exists(std::string_view path) const {
  return find(path) != nullptr;
}

bool RegistryStore::create_key(std::string_view path) {
  if (!key_path_error(path).empty()) return false;
  const auto split = split_path(path);
  Key* key = &roots_[split->root];
  for (const std::string_view name : split->names) {
    auto it = key->subkeys.find(name);
    if (it == key->subkeys.end()) it = key->subkeys.emplace(std::string(name), Key{}).first;
    key = &it->second;
  }
  return true;
}

bool RegistryStore::delete_key(std::string_view path) {
  const auto split = split_path(path);
  if (!split || split->names.empty()) return false;
  const std::string_view last = split->names.back();
  const size_t parent_length = static_cast<size_t>(last.data() - path.data());
  Key* parent = find(path.substr(0, parent_length));
  if (parent == nullptr) return false;
  const auto it = parent->subkeys.find(last);
  if (it == parent->subkeys.end()) return false;
  parent->subkeys.erase(it);
  return true;
}

std::vector<std::string> RegistryStore::subkeys(std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = find(path)) {
    names.reserve(key->subkeys.size());
    for (const auto& [name, sub] : key->subkeys) names.push_back(name);
  }
  return names;
}

bool RegistryStore::set_value(std::string_view path, std::string_view name, RegValue value) {
  if (!value_error(name, value).empty() || !create_key(path)) return false;
  Key* key = find(path);
  const auto it = key->values.find(name);
  if (it != key->values.end()) {
    it->second.value = std::move(value);
  } else {
    key->values.emplace(std::string(name), StoredValue{key->next_order++, std::move(value)});
  }
  return true;
}

bool RegistryStore::set_string(std::string_view path, std::string_view name,
                               std::string_view utf8) {
  return set_value(path, name, RegValue{REG_SZ, std::vector<uint8_t>(utf8.begin(), utf8.end())});
}

bool RegistryStore::set_dword(std::string_view path, std::string_view name, uint32_t number) {
  RegValue value{REG_DWORD, std::vector<uint8_t>(4)};
  for (size_t i = 0; i < 4; ++i) value.data[i] = static_cast<uint8_t>(number >> (8 * i));
  return set_value(path, name, std::move(value));
}

bool RegistryStore::set_binary(std::string_view path, std::string_view name,
                               std::span<const uint8_t> bytes) {
  return set_value(path, name,
                   RegValue{REG_BINARY, std::vector<uint8_t>(bytes.begin(), bytes.end())});
}

std::optional<RegValue> RegistryStore::value(std::string_view path, std::string_view name) const {
  const Key* key = find(path);
  if (key == nullptr) return std::nullopt;
  const auto it = key->values.find(name);
  if (it == key->values.end()) return std::nullopt;
  return it->second.value;
}

std::optional<std::string> RegistryStore::text_value(std::string_view path,
                                                     std::string_view name) const {
  const auto found = value(path, name);
  if (!found || (found->type != REG_SZ && found->type != REG_EXPAND_SZ)) return std::nullopt;
  std::string text(found->data.begin(), found->data.end());
  if (const size_t nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  return text;
}

bool RegistryStore::delete_value(std::string_view path, std::string_view name) {
  Key* key = find(path);
  if (key == nullptr) return false;
  const auto it = key->values.find(name);
  if (it == key->values.end()) return false;
  key->values.erase(it);
  return true;
}

std::vector<NamedRegValue> RegistryStore::values(std::string_view path) const {
  const Key* key = find(path);
  return key == nullptr ? std::vector<NamedRegValue>{} : key->ordered_values();
}

void RegistryStore::for_each_key(
    const std::function<void(std::string_view, std::span<const NamedRegValue>)>& visit) const {
  for (size_t i = 0; i < roots_.size(); ++i) {
    std::string path(kRootNames[i]);
    visit_key(roots_[i], path, visit);
  }
}

void RegistryStore::visit_key(
    const Key& key, std::string& path,
    const std::function<void(std::string_view, std::span<const NamedRegValue>)>& visit) {
  visit(path, key.ordered_values());
  for (const auto& [name, sub] : key.subkeys) {
    const size_t length = path.size();
    path += '\\';
    path += name;
    visit_key(sub, path, visit);
    path.resize(length);
  }
}

}  // namespace nimbra::platform
