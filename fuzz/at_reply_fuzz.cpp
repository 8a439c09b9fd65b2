// SPDX-License-Identifier: MIT
// Arbitrary card replies through every reply parser of the AT channel.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "diag/reply_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra::diag;
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  const std::string line = ExtractReplyLine(reply);
  if (line.size() > reply.size()) __builtin_trap();
  for (const auto form : {EchoRemoval::Guarded, EchoRemoval::Unguarded}) {
    const std::string left = RemoveEcho(reply, "AT@@LVL", form);
    (void)NumericField16(std::string_view(left).substr(0, 5));
    (void)NumericField32(left);
  }
  (void)NumericField(reply);
  return 0;
}
