// SPDX-License-Identifier: MIT
// The registry: keys under predefined roots, values of type REG_SZ, REG_BINARY and REG_DWORD.
// The ANSI functions take and return text in the machine's ANSI code page.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace nimbra::platform {

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;

inline constexpr uint32_t KEY_READ = 0x20019;
inline constexpr uint32_t KEY_WRITE = 0x20006;

inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_MULTI_SZ = 7;

// Result codes the program relies on.
inline constexpr int32_t ERROR_SUCCESS = 0;
inline constexpr int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr int32_t ERROR_MORE_DATA = 234;
inline constexpr int32_t ERROR_NO_MORE_ITEMS = 259;
inline constexpr int32_t ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr int32_t ERROR_REGISTRY_IO_FAILED = 1016;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens `root`\`subkey` (an empty subkey opens the root itself). Key names compare
  // case-insensitively. Returns ERROR_FILE_NOT_FOUND for a missing key.
  virtual int32_t RegOpenKeyExA(HKEY root, std::string_view subkey, uint32_t options,
                                uint32_t access, HKEY& result) = 0;

  // Subkey `index` in enumeration order into `name` (NUL-terminated); `name_length` is the
  // buffer size in characters on entry and the name's length without NUL on success.
  // ERROR_NO_MORE_ITEMS past the last subkey, ERROR_MORE_DATA when the name does not fit.
  virtual int32_t RegEnumKeyExA(HKEY key, uint32_t index, std::span<char> name,
                                uint32_t& name_length) = 0;

  // Reads the value. `size` is the number of bytes the caller offers (never more than
  // `data.size()` is used); on return it is the value's size. Text values include their NUL.
  // An empty `data` or a zero size only learns the size. ERROR_MORE_DATA when the value is
  // larger than the offered size, ERROR_FILE_NOT_FOUND when there is no such value.
  virtual int32_t RegQueryValueExA(HKEY key, std::string_view value_name, uint32_t* type,
                                   std::span<uint8_t> data, uint32_t& size) = 0;

  virtual int32_t RegSetValueExA(HKEY key, std::string_view value_name, uint32_t reserved,
                                 uint32_t type, std::span<const uint8_t> data) = 0;

  virtual int32_t RegDeleteValueA(HKEY key, std::string_view value_name) = 0;

  virtual int32_t RegFlushKey(HKEY key) = 0;

  virtual int32_t RegCloseKey(HKEY key) = 0;
};

}  // namespace nimbra::platform
