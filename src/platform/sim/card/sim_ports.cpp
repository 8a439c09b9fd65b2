// SPDX-License-Identifier: MIT
#include "platform/sim/card/sim_ports.h"

namespace nimbra::sim {

using platform::CommError;

SimPorts::SimPorts(PortConfig config, std::unique_ptr<SimCard> card, int16_t card_port)
    : config_(std::move(config)), card_(std::move(card)), card_port_(card_ ? card_port : 0) {}

CommError SimPorts::claim(int16_t port, const void* owner) {
  const bool card_here = card_ && port == card_port_;
  if (card_here && !card_->plugged()) return CommError::InvalidPortNumber;
  if (!card_here && !config_.exists(port)) return CommError::InvalidPortNumber;
  if (config_.held.contains(port)) return CommError::PortInUse;
  if (const auto it = open_by_.find(port); it != open_by_.end() && it->second != owner) {
    return CommError::PortInUse;
  }
  open_by_[port] = owner;
  return CommError::None;
}

void SimPorts::release(int16_t port, const void* owner) {
  if (const auto it = open_by_.find(port); it != open_by_.end() && it->second == owner) {
    open_by_.erase(it);
  }
}

SimCard* SimPorts::card_on(int16_t port) {
  return card_ && port == card_port_ ? card_.get() : nullptr;
}

}  // namespace nimbra::sim
