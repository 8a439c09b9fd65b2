// SPDX-License-Identifier: MIT
#include "diag/at_channel.h"

namespace nimbra::diag {

bool AtChannel::OpenForMeasurement(int16_t port) {
  comm_.set_CommPort(port);
  bool opened = true;
  if (!comm_.PortOpen()) opened = comm_.set_PortOpen(true) == platform::CommError::None;
  comm_.set_Settings(kLineSettings);
  return opened;
}

void AtChannel::CloseAfterMeasurement(bool opened) {
  if (opened) comm_.set_PortOpen(false);
}

bool AtChannel::OpenForConnect(int16_t port) {
  comm_.set_CommPort(port);
  if (!comm_.PortOpen()) comm_.set_PortOpen(true);
  if (!comm_.PortOpen()) return false;
  comm_.set_Settings(kLineSettings);
  return true;
}

std::optional<std::string> AtChannel::SendAtCommand(std::string_view command, uint32_t wait_ms) {
  Send(command);
  kernel_.Sleep(wait_ms);
  return ReadWaiting();
}

void AtChannel::Send(std::string_view command) {
  comm_.set_InputLen(0);
  std::string line(command);
  line += '\r';
  comm_.set_Output(line);
}

std::optional<std::string> AtChannel::ReadWaiting() {
  int16_t waiting = 0;
  comm_.InBufferCount(waiting);
  if (waiting == 0) return std::nullopt;
  std::string reply;
  comm_.Input(reply);
  return reply;
}

}  // namespace nimbra::diag
