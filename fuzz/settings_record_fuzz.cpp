// SPDX-License-Identifier: MIT
// Arbitrary bytes as a settings file: reading never goes past the record, and after one
// write the record reads back and writes again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "shell/records/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra::shell;
  const auto first = encode_settings(decode_settings(std::span<const uint8_t>(data, size)));
  const auto second = encode_settings(decode_settings(first));
  if (first != second) std::abort();
  return 0;
}
