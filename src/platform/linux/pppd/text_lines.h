// SPDX-License-Identifier: MIT
// Lines out of a byte stream that another program writes (a modem's answers, pppd's log): bytes
// go in as they arrive, whole lines come out. A line ends at CR or LF; empty lines are skipped,
// and a line longer than the bound is cut there (the rest of it is dropped).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::lnx {

class TextLines {
 public:
  static constexpr size_t kMaxLine = 512;

  // The lines that `bytes` completes, in order.
  std::vector<std::string> feed(std::string_view bytes);

 private:
  std::string partial_;
};

}  // namespace nimbra::lnx
