// SPDX-License-Identifier: MIT
// Arbitrary bytes as a registry file: parsing never fails unsafely, and whatever parses comes
// back equal after formatting and parsing again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry/reg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra::platform;
  const RegParseResult first =
      parse_reg_file(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!first.ok()) return 0;
  const RegParseResult second = parse_reg_file(format_reg_file(first.store()));
  if (!second.ok() || !(second.store() == first.store())) std::abort();
  return 0;
}
