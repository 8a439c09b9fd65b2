// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/text_lines.h"

namespace nimbra::lnx {

std::vector<std::string> TextLines::feed(std::string_view bytes) {
  std::vector<std::string> lines;
  for (const char c : bytes) {
    if (c == '\r' || c == '\n') {
      if (!partial_.empty()) lines.push_back(std::move(partial_));
      partial_.clear();
    } else if (partial_.size() < kMaxLine) {
      partial_ += c;
    }
  }
  return lines;
}

}  // namespace nimbra::lnx
