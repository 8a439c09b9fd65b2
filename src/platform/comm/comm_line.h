// SPDX-License-Identifier: MIT
// What every serial control implementation shares: the "9600,N,8,1" line settings and the
// bounded receive buffer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nimbra::platform {

struct LineSettings {
  uint32_t baud = 9600;
  char parity = 'N';  // N, E, O, M or S
  uint8_t data_bits = 8;
  uint8_t stop_bits = 1;
};

// Parses "baud,parity,data,stop"; nothing when any part is malformed or unsupported.
std::optional<LineSettings> parse_line_settings(std::string_view text);

// Characters received and not yet read. Bytes that arrive while it is full are dropped.
class ReceiveBuffer {
 public:
  static constexpr size_t kCapacity = 4096;

  void append(std::string_view bytes) { data_.append(bytes.substr(0, kCapacity - data_.size())); }
  size_t size() const { return data_.size(); }
  size_t room() const { return kCapacity - data_.size(); }
  // Takes up to `max` characters from the front; 0 takes everything.
  std::string take(size_t max) {
    const size_t n = max == 0 ? data_.size() : std::min(max, data_.size());
    std::string front = data_.substr(0, n);
    data_.erase(0, n);
    return front;
  }
  void clear() { data_.clear(); }

 private:
  std::string data_;
};

// The count a 16-bit property reports for `size` waiting characters.
inline int16_t clamp_count(size_t size) {
  return static_cast<int16_t>(std::min<size_t>(size, INT16_MAX));
}

}  // namespace nimbra::platform
