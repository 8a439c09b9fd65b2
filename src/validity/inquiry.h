// SPDX-License-Identifier: MIT
// The inquiry of the validity term: the Inquire button, the HTTP client's outcome, and the
// days-left notice.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/app_context.h"

namespace nimbra::validity {

// The inquiry's URL for the PHS number. Every byte of the number's ANSI text other than a
// letter, digit, "-", ".", "_" or "~" is percent-encoded, so that no number can add parameters
// to the query or change its path; a number of digits goes as it is.
std::string inquiry_url(shell::AppContext& app, std::string_view phs_number);

// The status code and the reason of a response's header block: the first line split at single
// blanks, the second word, and the third to last words each followed by one blank. A line
// without a second word has an empty code.
struct StatusLine {
  std::string code;
  std::string reason;
};
StatusLine read_status_line(std::string_view header_block);

// The body is read in chunks of this size, up to kLongestBody bytes; a longer one is cut off.
inline constexpr size_t kBodyChunk = 1024;
inline constexpr size_t kLongestBody = 4096;

class Inquiry {
 public:
  explicit Inquiry(shell::AppContext& app) : app_(app) {}

  // The Inquire button: without a PHS number, message 1066; else the request starts.
  void CmdLimit_Click();

  // The HTTP client's state events; 11 and 12 are acted upon.
  void Inet1_StateChanged(int state);

 private:
  void show_failure(std::string_view code, std::string_view detail);
  void response_completed();

  shell::AppContext& app_;
  // Counts the requests started, so that a body read that a new request overtook stops.
  uint64_t requests_ = 0;
};

// The days-left notice for the date LblLimit shows: 1063 once it has passed, 1061 + days +
// 1062 when it is less than 30 days away, nothing otherwise or when the label holds no date.
void CheckValidityTerm(shell::AppContext& app);

}  // namespace nimbra::validity
