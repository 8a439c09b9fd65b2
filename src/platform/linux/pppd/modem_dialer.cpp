// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/modem_dialer.h"

#include "platform/linux/pppd/modem_answer.h"
#include "platform/ras.h"

namespace nimbra::lnx {

using platform::CommError;

ModemDialer::ModemDialer(platform::Comm& comm, std::string number, DialTiming timing)
    : comm_(comm), number_(std::move(number)), timing_(timing) {}

void ModemDialer::begin(uint64_t now_ms) {
  stage_ = Stage::Resetting;
  send("ATZ", now_ms, timing_.reset_ms);
}

void ModemDialer::send(std::string_view command, uint64_t now_ms, uint32_t answer_within_ms) {
  deadline_ms_ = now_ms + answer_within_ms;
  if (comm_.set_Output(std::string(command) + "\r") != CommError::None) {
    fail(platform::ERROR_HARDWARE_FAILURE);
  }
}

void ModemDialer::fail(uint32_t error) {
  stage_ = Stage::Failed;
  error_ = error;
}

ModemDialer::Stage ModemDialer::poll(uint64_t now_ms) {
  if (stage_ == Stage::Connected || stage_ == Stage::Failed) return stage_;
  std::string received;
  if (comm_.Input(received) != CommError::None) {
    fail(platform::ERROR_HARDWARE_FAILURE);  // the device went away
    return stage_;
  }
  for (const std::string& line : lines_.feed(received)) {
    const auto answer = modem_answer_of_line(line);
    if (!answer) continue;  // the echo of the command, or a line of information
    if (stage_ == Stage::Resetting && *answer == ModemAnswer::Ok) {
      stage_ = Stage::Dialling;
      send("ATD" + number_, now_ms, timing_.dial_ms);
    } else if (stage_ == Stage::Dialling && *answer == ModemAnswer::Connect) {
      stage_ = Stage::Connected;
    } else if (const uint32_t error = ras_error_of(*answer); error != 0) {
      fail(error);
    }
    if (stage_ == Stage::Connected || stage_ == Stage::Failed) return stage_;
  }
  if (now_ms >= deadline_ms_) {
    // A modem silent to its reset is broken or not there; a dial nobody answers is no answer.
    fail(stage_ == Stage::Resetting ? platform::ERROR_PORT_OR_DEVICE : platform::ERROR_NO_ANSWER);
  }
  return stage_;
}

}  // namespace nimbra::lnx
