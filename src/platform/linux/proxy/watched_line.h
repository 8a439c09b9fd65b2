// SPDX-License-Identifier: MIT
// A call line that tells a listener after each state of a call and each hang-up, so that what
// follows the link looks at it again.
#pragma once

#include <functional>

#include "platform/call_line.h"

namespace nimbra::lnx {

class WatchedLine final : public platform::CallLine {
 public:
  explicit WatchedLine(platform::CallLine& line) : line_(line) {}
  void set_listener(std::function<void()> listener) { listener_ = std::move(listener); }

  uint32_t start(const Call& call, Report report) override;
  void wait_for_end(platform::HRASCONN handle) override { line_.wait_for_end(handle); }
  void end(platform::HRASCONN handle, std::string_view entry) override;
  bool up(std::string_view entry) override { return line_.up(entry); }

 private:
  void tell() const {
    if (listener_) listener_();
  }

  platform::CallLine& line_;
  std::function<void()> listener_;
};

}  // namespace nimbra::lnx
