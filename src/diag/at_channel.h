// SPDX-License-Identifier: MIT
// The AT command channel to the card: write one command line, wait a fixed time, take whatever
// has arrived. There is no waiting for "OK" and no time-out but the fixed wait; callers repeat
// an exchange whose answer is empty or unusable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/comm.h"
#include "platform/kernel.h"

namespace nimbra::diag {

inline constexpr std::string_view kLineSettings = "9600,N,8,1";

class AtChannel {
 public:
  AtChannel(platform::Comm& comm, platform::Kernel& kernel) : comm_(comm), kernel_(kernel) {}

  // Opens `port` for a measurement. Errors are ignored and the measurement goes on; returns
  // false when the open failed, so the port is not closed at the end.
  bool OpenForMeasurement(int16_t port);
  // Closes the port after a measurement whose open succeeded.
  void CloseAfterMeasurement(bool opened);

  // Opens `port` for the connect flow; returns whether the port reads open afterwards.
  bool OpenForConnect(int16_t port);

  // Sends the command with a carriage return and blocks for the whole wait; returns everything
  // received by then, or nothing when nothing arrived (the caller keeps its previous text).
  std::optional<std::string> SendAtCommand(std::string_view command, uint32_t wait_ms);

  // The two halves of an exchange, for the exchanges that wait before sending or before
  // reading: the command line out, and everything waiting (nothing when nothing is).
  void Send(std::string_view command);
  std::optional<std::string> ReadWaiting();

  platform::Comm& comm() { return comm_; }

 private:
  platform::Comm& comm_;
  platform::Kernel& kernel_;
};

}  // namespace nimbra::diag
