// SPDX-License-Identifier: MIT
// A real line under the dial-up service: the service keeps the phone book, the handles and the
// connection table, and the line carries the call itself (dials the modem, brings the link up,
// takes it down). Reports come on the user-interface thread, in the order the call goes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ras.h"

namespace nimbra::platform {

class CallLine {
 public:
  struct Call {
    HRASCONN handle = 0;
    std::string entry;     // ANSI entry name
    int16_t port = 0;      // COM port of the entry's modem
    std::string number;    // what follows "ATD"
    std::string user;      // ANSI
    std::string password;  // ANSI; never leaves the process except to pppd's password pipe
  };
  // A state of the call and its error (0 = none). After RASCS_Connected, RASCS_Disconnected
  // with ERROR_NO_CONNECTION means the link went down by itself.
  using Report = std::function<void(HRASCONN handle, RasConnState state, uint32_t error)>;

  virtual ~CallLine() = default;

  // Starts the call and returns at once; every later state comes through `report`. Non-zero
  // when the call cannot start at all (nothing is reported then).
  virtual uint32_t start(const Call& call, Report report) = 0;

  // Runs the call to its end (connected or failed) before returning, for a caller that dials
  // without a notifier; the reports still come.
  virtual void wait_for_end(HRASCONN handle) = 0;

  // Hangs the call up, or the connection of `entry` that another program run brought up.
  virtual void end(HRASCONN handle, std::string_view entry) = 0;

  // Whether the link that carries `entry` is up, also one another program run brought up.
  virtual bool up(std::string_view entry) = 0;
};

}  // namespace nimbra::platform
