// SPDX-License-Identifier: MIT
// Dials the modem over its serial port, as a dialler that hands the line to pppd does: "ATZ",
// then "ATD" and the number, each answered within its own time. Driven by polling, so that the
// user-interface thread never waits on the modem.
#pragma once

#include <cstdint>
#include <string>

#include "platform/comm.h"
#include "platform/linux/pppd/text_lines.h"

namespace nimbra::lnx {

struct DialTiming {
  uint32_t reset_ms = 3000;  // a modem that does not answer "ATZ" in this time is silent
  uint32_t dial_ms = 60000;  // no result of the dial in this time: nobody answered
};

class ModemDialer {
 public:
  enum class Stage { Resetting, Dialling, Connected, Failed };

  // `comm` is open on the modem's port.
  ModemDialer(platform::Comm& comm, std::string number, DialTiming timing);

  // Sends "ATZ"; `now_ms` is any steady clock in milliseconds.
  void begin(uint64_t now_ms);

  // Takes what the modem has sent and moves on; the stage it is at now.
  Stage poll(uint64_t now_ms);

  Stage stage() const { return stage_; }
  // The remote-access error once Failed.
  uint32_t error() const { return error_; }

 private:
  void send(std::string_view command, uint64_t now_ms, uint32_t answer_within_ms);
  void fail(uint32_t error);

  platform::Comm& comm_;
  std::string number_;
  DialTiming timing_;
  Stage stage_ = Stage::Resetting;
  uint32_t error_ = 0;
  uint64_t deadline_ms_ = 0;
  TextLines lines_;
};

}  // namespace nimbra::lnx
