// SPDX-License-Identifier: MIT
#include "platform/sim/card/sim_comm.h"

namespace nimbra::sim {

using platform::CommError;

namespace {
constexpr size_t kMaxWrittenRecord = 1 << 16;
}

SimComm::SimComm(SimPorts& ports) : ports_(ports) {}

SimComm::~SimComm() {
  if (open_) close();
}

CommError SimComm::set_CommPort(int16_t port) {
  if (open_) return CommError::PortAlreadyOpen;
  if (port < 1 || port > kMaxCommPort) return CommError::InvalidPortNumber;
  port_ = port;
  device_gone_ = false;
  return CommError::None;
}

CommError SimComm::set_PortOpen(bool open) {
  if (open == open_) return open ? CommError::PortAlreadyOpen : closed_error();
  if (!open) {
    close();
    return CommError::None;
  }
  if (const CommError e = ports_.claim(port_, this); e != CommError::None) return e;
  open_ = true;
  device_gone_ = false;
  received_.clear();
  written_.clear();
  if (SimCard* card = ports_.card_on(port_)) {
    card->connect({[this](std::string_view bytes) { received_.append(bytes); },
                   [this] {
                     close();
                     device_gone_ = true;
                   }});
  }
  return CommError::None;
}

CommError SimComm::set_Settings(std::string_view settings) {
  return platform::parse_line_settings(settings) ? CommError::None : CommError::InvalidSettings;
}

CommError SimComm::set_InputLen(int16_t length) {
  if (length < 0) return CommError::InvalidSettings;
  input_len_ = length;
  return CommError::None;
}

CommError SimComm::set_Output(std::string_view text) {
  if (!open_) return closed_error();
  if (written_.size() < kMaxWrittenRecord) written_.append(text);
  if (SimCard* card = ports_.card_on(port_)) card->write(text);
  return CommError::None;
}

CommError SimComm::InBufferCount(int16_t& count) {
  count = platform::clamp_count(received_.size());
  return open_ ? CommError::None : closed_error();
}

CommError SimComm::Input(std::string& text) {
  text = received_.take(static_cast<size_t>(input_len_));
  return open_ ? CommError::None : closed_error();
}

void SimComm::close() {
  if (SimCard* card = ports_.card_on(port_)) card->disconnect();
  ports_.release(port_, this);
  open_ = false;
  received_.clear();
}

CommError SimComm::closed_error() const {
  return device_gone_ ? CommError::DeviceGone : CommError::PortNotOpen;
}

}  // namespace nimbra::sim
