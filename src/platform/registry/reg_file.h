// SPDX-License-Identifier: MIT
// The registry editor's text export format ("Windows Registry Editor Version 5.00" or
// "REGEDIT4"), in which a machine keeps its registry.
//
// Reading accepts UTF-16LE with a byte-order mark, or UTF-8 with or without one, and LF or CRLF
// line ends. Writing produces version 5.00 as UTF-8 without a byte-order mark and with CRLF line
// ends, as the registry editor writes them, so the file can be exchanged with Windows tools.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "platform/registry/registry_store.h"

namespace nimbra::platform {

inline constexpr size_t kMaxRegFileSize = size_t{64} << 20;
// Bounds a physical line and a value's lines joined; the writer never comes near it.
inline constexpr size_t kMaxRegLineLength = size_t{8} << 20;

struct RegParseError {
  size_t line = 0;  // 1-based; 0 when the problem is the file as a whole
  std::string message;
  // "line 7: bad hex byte" or the bare message for the whole file.
  std::string describe() const;
};

struct RegParseResult {
  std::variant<RegistryStore, RegParseError> outcome;
  bool ok() const { return std::holds_alternative<RegistryStore>(outcome); }
  const RegistryStore& store() const { return std::get<RegistryStore>(outcome); }
  RegistryStore& store() { return std::get<RegistryStore>(outcome); }
  const RegParseError& error() const { return std::get<RegParseError>(outcome); }
};

// Applies the file to an empty registry: key lines create keys, "[-key]" deletes one, value lines
// set values, "=-" deletes one. Any malformed line makes the whole file an error.
RegParseResult parse_reg_file(std::string_view bytes);

std::string format_reg_file(const RegistryStore& store);

}  // namespace nimbra::platform
