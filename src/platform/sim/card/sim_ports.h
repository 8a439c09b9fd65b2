// SPDX-License-Identifier: MIT
// The COM ports of a simulated machine, shared by its program instances: which exist, which
// another program holds, which instance has which open, and the card on its port.
#pragma once

#include <map>
#include <memory>

#include "platform/comm.h"
#include "platform/sim/machine/port_config.h"
#include "platform/sim/card/sim_card.h"

namespace nimbra::sim {

class SimPorts {
 public:
  SimPorts(PortConfig config, std::unique_ptr<SimCard> card, int16_t card_port);

  // Takes the port for `owner`: InvalidPortNumber when it does not exist (or its card is gone),
  // PortInUse when another program holds it.
  platform::CommError claim(int16_t port, const void* owner);
  void release(int16_t port, const void* owner);

  // The card on `port`, or nothing.
  SimCard* card_on(int16_t port);

  // Control face: another program takes or lets go of a port.
  void hold(int16_t port) { config_.held.insert(port); }
  void let_go(int16_t port) { config_.held.erase(port); }
  SimCard* card() { return card_.get(); }
  int16_t card_port() const { return card_port_; }

 private:
  PortConfig config_;
  std::unique_ptr<SimCard> card_;
  int16_t card_port_;
  std::map<int16_t, const void*> open_by_;
};

}  // namespace nimbra::sim
