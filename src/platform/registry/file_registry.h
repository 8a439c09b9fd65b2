// SPDX-License-Identifier: MIT
// The registry of a machine directory, kept in its registry.reg file (see reg_file.h) and shared
// safely with every other process that uses the same file.
//
// Each operation takes a lock on the sidecar file "<file>.lock" (shared to read, exclusive to
// write), reloads the file when it has changed since it was last read, and a write saves the
// file atomically before the lock is released, so concurrent writers never lose each other's
// changes. A missing file is an empty registry; the first write creates it.
//
// A change is in the file for every process when its call returns, and no crash of this one
// loses it. Like the system's registry it reaches the disk lazily: its contents at once, the
// replacement of the file at RegFlushKey, when a key is closed, or when the object goes. A
// crash of the machine before then finds the file as it was or as changed, whole either way.
//
// One object serves one thread; each process (a forked child too) uses its own object.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/file_io.h"
#include "platform/registry.h"
#include "platform/registry/registry_store.h"
#include "platform/text/codepage.h"

namespace nimbra::platform {

class RegistryFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class FileRegistry final : public Registry {
 public:
  // Loads the file. Throws RegistryFileError, naming the file and the bad line, when the file
  // cannot be read or is not a valid registry file. Text crossing the ANSI functions (key paths,
  // value names, text values) is converted between `code_page` and the file's Unicode.
  FileRegistry(std::filesystem::path file, CodePage code_page);
  ~FileRegistry() override;
  FileRegistry(const FileRegistry&) = delete;
  FileRegistry& operator=(const FileRegistry&) = delete;

  // If the file turns corrupt after loading, reads keep the last good contents and writes fail
  // with ERROR_REGISTRY_CORRUPT, leaving the file alone. Writing a text value cuts it at its
  // first NUL, as an ANSI string ends there; reading one returns it with its NUL.
  int32_t RegOpenKeyExA(HKEY root, std::string_view subkey, uint32_t options, uint32_t access,
                        HKEY& result) override;
  int32_t RegEnumKeyExA(HKEY key, uint32_t index, std::span<char> name,
                        uint32_t& name_length) override;
  int32_t RegQueryValueExA(HKEY key, std::string_view value_name, uint32_t* type,
                           std::span<uint8_t> data, uint32_t& size) override;
  int32_t RegSetValueExA(HKEY key, std::string_view value_name, uint32_t reserved, uint32_t type,
                         std::span<const uint8_t> data) override;
  int32_t RegDeleteValueA(HKEY key, std::string_view value_name) override;
  int32_t RegFlushKey(HKEY key) override;
  int32_t RegCloseKey(HKEY key) override;

  // For the machine tooling: the current contents, and a locked read-modify-write that is saved
  // atomically. `modify` is false (and the file untouched) when the file is corrupt or unwritable.
  RegistryStore snapshot();
  bool modify(const std::function<void(RegistryStore&)>& change);

  // For simulated machines: the key `key_path` (long root name, "HKEY_CURRENT_USER\...") and
  // every key below it refuse writes, as keys whose permissions forbid them do: opening one
  // for writing, and any change through an open handle, give ERROR_ACCESS_DENIED.
  void deny_write(std::string key_path);
  // Likewise refuses every opening of the key and of the keys below it, whatever the access.
  void deny_open(std::string key_path);

 private:
  struct OpenKey {
    std::string path;  // full path in UTF-8, long root name
    uint32_t access = 0;
  };

  // ERROR_SUCCESS, ERROR_REGISTRY_CORRUPT or ERROR_REGISTRY_IO_FAILED. Reads the file when it
  // differs from the one last looked at, or always when `always` is set.
  int32_t reload(bool always);
  int32_t refresh_for_read();
  // Nothing when the file cannot be examined; a stamp with `exists` unset when it is missing.
  int32_t change_key(HKEY key,
                     const std::function<int32_t(RegistryStore&, const std::string&)>& change);
  int32_t commit(const std::function<int32_t(RegistryStore&)>& change);
  // Puts the changes made so far on the disk; false when the system could not.
  bool sync_changes();
  const OpenKey* open_key(HKEY key) const;
  bool write_denied(std::string_view path) const;
  bool open_denied(std::string_view path) const;
  std::string to_utf8(std::string_view ansi) const;
  std::string to_code_page(std::string_view utf8) const;

  std::filesystem::path file_;
  CodePage code_page_;
  RegistryStore store_;               // the last good contents
  std::optional<FileIdentity> seen_;  // the file last looked at, good or not
  std::string last_error_;            // why the last reload failed
  // The file's text when it holds `store_` exactly; none when it is missing or was not good.
  std::optional<std::string> good_text_;
  bool unsynced_ = false;            // a replacement of the file is not yet on the disk
  std::map<HKEY, OpenKey> handles_;  // predefined roots and open keys
  HKEY next_handle_ = 0;
  std::vector<std::string> write_denied_;  // key paths
  std::vector<std::string> open_denied_;   // key paths
};

}  // namespace nimbra::platform
