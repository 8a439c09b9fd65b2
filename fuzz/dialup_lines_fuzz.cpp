// SPDX-License-Identifier: MIT
// Arbitrary modem answers and pppd log output: through the line splitter, the modem-answer and
// pppd log-line parsers, and the dialler's exchange with a modem that sends these bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/linux/pppd/modem_answer.h"
#include "platform/linux/pppd/modem_dialer.h"
#include "platform/linux/pppd/pppd_log.h"
#include "platform/linux/pppd/text_lines.h"
#include "platform/ras.h"

namespace {

using nimbra::platform::CommError;

// A modem whose answers are the fuzzer's bytes, a few at a time.
class BytesModem : public nimbra::platform::Comm {
 public:
  BytesModem(std::string_view bytes, size_t chunk) : bytes_(bytes), chunk_(chunk) {}
  CommError set_CommPort(int16_t) override { return CommError::None; }
  int16_t CommPort() override { return 1; }
  CommError set_PortOpen(bool) override { return CommError::None; }
  bool PortOpen() override { return true; }
  CommError set_Settings(std::string_view) override { return CommError::None; }
  CommError set_InputLen(int16_t) override { return CommError::None; }
  CommError set_Output(std::string_view text) override {
    sent_dial = sent_dial || text.starts_with("ATD");
    return CommError::None;
  }
  CommError InBufferCount(int16_t& count) override {
    count = static_cast<int16_t>(std::min<size_t>(bytes_.size(), chunk_));
    return CommError::None;
  }
  CommError Input(std::string& text) override {
    text = std::string(bytes_.substr(0, chunk_));
    bytes_.remove_prefix(text.size());
    return CommError::None;
  }
  bool sent_dial = false;

 private:
  std::string_view bytes_;
  size_t chunk_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 64;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  lnx::TextLines lines;
  for (size_t at = 0; at < bytes.size(); at += chunk) {
    for (const std::string& line : lines.feed(bytes.substr(at, chunk))) {
      if (line.empty() || line.size() > lnx::TextLines::kMaxLine) __builtin_trap();
      if (const auto answer = lnx::modem_answer_of_line(line)) (void)lnx::ras_error_of(*answer);
      (void)lnx::state_of_pppd_line(line);
    }
  }

  BytesModem modem(bytes, chunk);
  lnx::ModemDialer dialer(modem, "##610570000300", {100, 1000});
  dialer.begin(0);
  for (uint64_t now = 0; now <= 2000; now += 10) {
    const auto stage = dialer.poll(now);
    if (stage == lnx::ModemDialer::Stage::Connected && !modem.sent_dial) __builtin_trap();
    if (stage == lnx::ModemDialer::Stage::Failed && dialer.error() == 0) __builtin_trap();
  }
  // Every exchange ends within the dialler's time limits.
  if (dialer.stage() != lnx::ModemDialer::Stage::Connected &&
      dialer.stage() != lnx::ModemDialer::Stage::Failed) {
    __builtin_trap();
  }
  return 0;
}
