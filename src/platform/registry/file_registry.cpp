// SPDX-License-Identifier: MIT
#include "platform/registry/file_registry.h"

#include <algorithm>
#include <utility>

#include "platform/host/file_io.h"
#include "platform/host/file_lock.h"
#include "platform/registry/reg_file.h"
#include "platform/text/ini_file.h"

namespace nimbra::platform {

namespace {

constexpr int32_t kErrorKeyDeleted = 1018;  // the key was deleted since it was opened
constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr unsigned kFileMode = 0644;
constexpr HKEY kFirstHandle = 0x10;
constexpr HKEY kHandleStep = 4;

bool is_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// ANSI strings end at their first NUL.
std::string_view until_nul(std::string_view text) {
  return text.substr(0, std::min(text.find('\0'), text.size()));
}

bool is_single_text(uint32_t type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

std::string_view as_text(std::span<const uint8_t> bytes) {
  return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

constexpr uint32_t kKeyCreateSubKey = 0x0004;

// The names of a key path; empty names (a doubled or trailing separator) do not count.
std::vector<std::string_view> key_names(std::string_view path) {
  std::vector<std::string_view> names;
  while (!path.empty()) {
    const size_t end = std::min(path.find('\\'), path.size());
    if (end > 0) names.push_back(path.substr(0, end));
    path.remove_prefix(std::min(end + 1, path.size()));
  }
  return names;
}

// True when `path` is `key` or lies below it.
bool is_at_or_below(std::string_view path, std::string_view key) {
  const auto names = key_names(path);
  const auto key_parts = key_names(key);
  if (key_parts.empty() || key_parts.size() > names.size()) return false;
  return std::equal(key_parts.begin(), key_parts.end(), names.begin(),
                    [](std::string_view a, std::string_view b) { return iequals(a, b); });
}

}  // namespace

FileRegistry::FileRegistry(std::filesystem::path file, CodePage code_page)
    : file_(std::move(file)), code_page_(code_page) {
  for (const HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
    static constexpr std::string_view kNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                  "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
    handles_[root] = OpenKey{std::string(kNames[root - HKEY_CLASSES_ROOT]), kKeyAllAccess};
  }
  next_handle_ = kFirstHandle;
  const FileLock lock(file_, FileLock::Mode::Shared);
  if (reload(true) != ERROR_SUCCESS) throw RegistryFileError(last_error_);
}

FileRegistry::~FileRegistry() {
  sync_changes();
}

int32_t FileRegistry::reload(bool always) {
  const auto stamp = identify_file(file_);
  if (!stamp) {
    last_error_ = file_.string() + ": cannot be read";
    return ERROR_REGISTRY_IO_FAILED;
  }
  if (!always && seen_ == stamp) {
    return last_error_.empty() ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
  }
  seen_ = stamp;
  if (!stamp->exists) {
    store_ = RegistryStore();
    good_text_.reset();
    last_error_.clear();
    return ERROR_SUCCESS;
  }
  // One byte over the limit, so that an over-long file is reported rather than cut.
  const auto bytes = read_file_bounded(file_, kMaxRegFileSize + 1);
  if (!bytes) {
    last_error_ = file_.string() + ": cannot be read";
    return ERROR_REGISTRY_IO_FAILED;
  }
  const std::string_view text = as_text(*bytes);
  // Unchanged text is the same contents: most reads before a change find the file as it was.
  if (good_text_ && *good_text_ == text) {
    last_error_.clear();
    return ERROR_SUCCESS;
  }
  RegParseResult parsed = parse_reg_file(text);
  if (!parsed.ok()) {
    good_text_.reset();
    last_error_ = file_.string() + ": " + parsed.error().describe();
    return ERROR_REGISTRY_CORRUPT;
  }
  store_ = std::move(parsed.store());
  good_text_ = std::string(text);
  last_error_.clear();
  return ERROR_SUCCESS;
}

int32_t FileRegistry::refresh_for_read() {
  // Without the lock (a read-only directory that has none) the read still sees a whole file,
  // as the file is only ever replaced whole. A file that fails to load leaves the last good
  // contents in place.
  const FileLock lock(file_, FileLock::Mode::Shared);
  return reload(false);
}

// Every change of an open key passes through here. A key's write protection belongs here, checked
// against the key's path.
int32_t FileRegistry::change_key(
    HKEY key, const std::function<int32_t(RegistryStore&, const std::string&)>& change) {
  const OpenKey* open = open_key(key);
  if (open == nullptr) return ERROR_INVALID_HANDLE;
  if ((open->access & kKeySetValue) == 0 || write_denied(open->path)) return ERROR_ACCESS_DENIED;
  const std::string path = open->path;
  return commit([&](RegistryStore& store) {
    return store.key_exists(path) ? change(store, path) : kErrorKeyDeleted;
  });
}

// Lock, read again, change a copy, save, and only then adopt the copy.
int32_t FileRegistry::commit(const std::function<int32_t(RegistryStore&)>& change) {
  const FileLock lock(file_, FileLock::Mode::Exclusive);
  if (!lock.held()) return ERROR_REGISTRY_IO_FAILED;
  // Always read again: a stamp can repeat (a reused inode within one clock tick), and a change
  // based on stale contents would lose another process's write.
  if (const int32_t status = reload(true); status != ERROR_SUCCESS) return status;
  RegistryStore changed = store_;
  if (const int32_t status = change(changed); status != ERROR_SUCCESS) return status;
  std::string text = format_reg_file(changed);
  // A change that leaves the file as it is (a value set to what it holds) needs no write.
  if (good_text_ && *good_text_ == text) return ERROR_SUCCESS;
  // A file over the limit could never be loaded again.
  if (text.size() > kMaxRegFileSize ||
      !write_text_file_atomic(file_, text, kFileMode, nullptr, Durability::ContentsSynced)) {
    return ERROR_REGISTRY_IO_FAILED;
  }
  unsynced_ = true;
  store_ = std::move(changed);
  good_text_ = std::move(text);
  // The new file is ours (we hold the lock), so the next read need not parse it again.
  seen_ = identify_file(file_);
  return ERROR_SUCCESS;
}

void FileRegistry::deny_write(std::string key_path) {
  write_denied_.push_back(std::move(key_path));
}

void FileRegistry::deny_open(std::string key_path) {
  open_denied_.push_back(std::move(key_path));
}

bool FileRegistry::open_denied(std::string_view path) const {
  return std::any_of(open_denied_.begin(), open_denied_.end(),
                     [&](const std::string& key) { return is_at_or_below(path, key); });
}

bool FileRegistry::write_denied(std::string_view path) const {
  return std::any_of(write_denied_.begin(), write_denied_.end(),
                     [&](const std::string& key) { return is_at_or_below(path, key); });
}

const FileRegistry::OpenKey* FileRegistry::open_key(HKEY key) const {
  const auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

std::string FileRegistry::to_utf8(std::string_view ansi) const {
  return is_ascii(ansi) ? std::string(ansi) : from_ansi(ansi, code_page_);
}

std::string FileRegistry::to_code_page(std::string_view utf8) const {
  return is_ascii(utf8) ? std::string(utf8) : to_ansi(utf8, code_page_);
}

int32_t FileRegistry::RegOpenKeyExA(HKEY root, std::string_view subkey, uint32_t /*options*/,
                                    uint32_t access, HKEY& result) {
  const OpenKey* base = open_key(root);
  if (base == nullptr) return ERROR_INVALID_HANDLE;
  std::string path = base->path + '\\' + to_utf8(until_nul(subkey));
  refresh_for_read();
  if (!RegistryStore::key_path_error(path).empty() || !store_.key_exists(path)) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (open_denied(path) ||
      ((access & (kKeySetValue | kKeyCreateSubKey)) != 0 && write_denied(path))) {
    return ERROR_ACCESS_DENIED;
  }
  while (handles_.contains(next_handle_)) {
    next_handle_ =
        next_handle_ >= HKEY_CLASSES_ROOT - kHandleStep ? kFirstHandle : next_handle_ + kHandleStep;
  }
  result = next_handle_;
  handles_[result] = OpenKey{std::move(path), access};
  return ERROR_SUCCESS;
}

int32_t FileRegistry::RegEnumKeyExA(HKEY key, uint32_t index, std::span<char> name,
                                    uint32_t& name_length) {
  const OpenKey* open = open_key(key);
  if (open == nullptr) return ERROR_INVALID_HANDLE;
  refresh_for_read();
  if (!store_.key_exists(open->path)) return kErrorKeyDeleted;
  const std::vector<std::string> names = store_.subkeys(open->path);
  if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
  const std::string ansi = to_code_page(names[index]);
  const size_t capacity = std::min<size_t>(name_length, name.size());
  if (ansi.size() + 1 > capacity) return ERROR_MORE_DATA;
  std::copy(ansi.begin(), ansi.end(), name.begin());
  name[ansi.size()] = '\0';
  name_length = static_cast<uint32_t>(ansi.size());
  return ERROR_SUCCESS;
}

int32_t FileRegistry::RegQueryValueExA(HKEY key, std::string_view value_name, uint32_t* type,
                                       std::span<uint8_t> data, uint32_t& size) {
  const OpenKey* open = open_key(key);
  if (open == nullptr) return ERROR_INVALID_HANDLE;
  refresh_for_read();
  if (!store_.key_exists(open->path)) return kErrorKeyDeleted;
  const auto value = store_.value(open->path, to_utf8(until_nul(value_name)));
  if (!value) return ERROR_FILE_NOT_FOUND;
  std::string bytes;
  if (is_single_text(value->type)) {
    bytes = to_code_page(as_text(value->data));
    bytes += '\0';
  } else if (value->type == REG_MULTI_SZ) {
    bytes = to_code_page(as_text(value->data));
  } else {
    bytes = std::string(as_text(value->data));
  }
  if (type != nullptr) *type = value->type;
  const size_t offered = std::min<size_t>(size, data.size());
  size = static_cast<uint32_t>(bytes.size());
  if (offered == 0) return ERROR_SUCCESS;
  if (bytes.size() > offered) return ERROR_MORE_DATA;
  std::copy(bytes.begin(), bytes.end(), data.begin());
  return ERROR_SUCCESS;
}

int32_t FileRegistry::RegSetValueExA(HKEY key, std::string_view value_name, uint32_t /*reserved*/,
                                     uint32_t type, std::span<const uint8_t> data) {
  RegValue value{type, {}};
  // Text values enter the file as Unicode.
  if (is_single_text(type)) {
    const std::string text = to_utf8(until_nul(as_text(data)));
    value.data.assign(text.begin(), text.end());
  } else if (type == REG_MULTI_SZ) {
    const std::string text = to_utf8(as_text(data));
    value.data.assign(text.begin(), text.end());
  } else {
    value.data.assign(data.begin(), data.end());
  }
  const std::string name = to_utf8(until_nul(value_name));
  if (open_key(key) == nullptr) return ERROR_INVALID_HANDLE;
  if (!RegistryStore::value_error(name, value).empty()) return ERROR_INVALID_PARAMETER;
  return change_key(key, [&](RegistryStore& store, const std::string& path) {
    store.set_value(path, name, std::move(value));
    return ERROR_SUCCESS;
  });
}

int32_t FileRegistry::RegDeleteValueA(HKEY key, std::string_view value_name) {
  const std::string name = to_utf8(until_nul(value_name));
  return change_key(key, [&](RegistryStore& store, const std::string& path) {
    return store.delete_value(path, name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

int32_t FileRegistry::RegFlushKey(HKEY key) {
  if (open_key(key) == nullptr) return ERROR_INVALID_HANDLE;
  return sync_changes() ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

int32_t FileRegistry::RegCloseKey(HKEY key) {
  if (key >= HKEY_CLASSES_ROOT && key <= HKEY_USERS) return ERROR_SUCCESS;
  if (handles_.erase(key) == 0) return ERROR_INVALID_HANDLE;
  return sync_changes() ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

bool FileRegistry::sync_changes() {
  if (!unsynced_) return true;
  unsynced_ = !sync_directory(file_.has_parent_path() ? file_.parent_path() : ".");
  return !unsynced_;
}

RegistryStore FileRegistry::snapshot() {
  refresh_for_read();
  return store_;
}

bool FileRegistry::modify(const std::function<void(RegistryStore&)>& change) {
  return commit([&](RegistryStore& store) {
           change(store);
           return ERROR_SUCCESS;
         }) == ERROR_SUCCESS &&
         sync_changes();
}

}  // namespace nimbra::platform
