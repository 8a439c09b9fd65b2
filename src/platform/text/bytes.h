// SPDX-License-Identifier: MIT
// Explicit little-endian byte layouts for the records that cross into files, the registry and
// platform calls. Records are always built and read field by field, never by casting structs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nimbra::bytes {

inline void put_u16(std::span<uint8_t> buf, size_t offset, uint16_t v) {
  buf[offset] = static_cast<uint8_t>(v);
  buf[offset + 1] = static_cast<uint8_t>(v >> 8);
}

inline void put_u32(std::span<uint8_t> buf, size_t offset, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) buf[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void put_i16(std::span<uint8_t> buf, size_t offset, int16_t v) {
  put_u16(buf, offset, static_cast<uint16_t>(v));
}

inline void put_i32(std::span<uint8_t> buf, size_t offset, int32_t v) {
  put_u32(buf, offset, static_cast<uint32_t>(v));
}

inline uint16_t get_u16(std::span<const uint8_t> buf, size_t offset) {
  return static_cast<uint16_t>(buf[offset] | (buf[offset + 1] << 8));
}

inline uint32_t get_u32(std::span<const uint8_t> buf, size_t offset) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(buf[offset + i]) << (8 * i);
  return v;
}

inline int16_t get_i16(std::span<const uint8_t> buf, size_t offset) {
  return static_cast<int16_t>(get_u16(buf, offset));
}

inline int32_t get_i32(std::span<const uint8_t> buf, size_t offset) {
  return static_cast<int32_t>(get_u32(buf, offset));
}

// Writes `text` into the fixed field [offset, offset + width) followed by a NUL, cutting it so
// that the NUL always fits. The rest of the field is left as it was.
inline void put_cstr(std::span<uint8_t> buf, size_t offset, size_t width, std::string_view text) {
  if (width == 0) return;
  const size_t n = std::min(text.size(), width - 1);
  std::copy_n(reinterpret_cast<const uint8_t*>(text.data()), n, buf.begin() + offset);
  buf[offset + n] = 0;
}

// The text of a fixed field up to its first NUL (or the whole field when it has none).
inline std::string get_cstr(std::span<const uint8_t> buf, size_t offset, size_t width) {
  const auto first = buf.begin() + offset;
  const auto last = std::find(first, first + width, uint8_t{0});
  return std::string(first, last);
}

// The whole fixed field as bytes, NULs included.
inline std::string get_field(std::span<const uint8_t> buf, size_t offset, size_t width) {
  return std::string(buf.begin() + offset, buf.begin() + offset + width);
}

}  // namespace nimbra::bytes
