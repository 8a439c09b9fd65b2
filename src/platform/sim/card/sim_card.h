// SPDX-License-Identifier: MIT
// The card on its simulated port, in virtual time: what the port writes reaches the card at
// once, and the card's answers arrive at the port after their reply times, as device work.
#pragma once

#include <functional>
#include <string_view>

#include "platform/sim/card/card_model.h"
#include "platform/sim/clock/scheduler.h"

namespace nimbra::sim {

class SimCard {
 public:
  // The open port that hears the card.
  struct Listener {
    std::function<void(std::string_view)> receive;
    std::function<void()> gone;
  };

  SimCard(CardSettings settings, Scheduler& scheduler);
  SimCard(const SimCard&) = delete;
  SimCard& operator=(const SimCard&) = delete;

  void connect(Listener listener);
  void disconnect();
  void write(std::string_view bytes);

  // Control face.
  CardModel& model() { return model_; }
  bool plugged() const { return !model_.unplugged() && !pulled_; }
  // Pulls the card out: an open port loses its device at once.
  void unplug();

 private:
  void lose_listener();

  CardModel model_;
  Scheduler& scheduler_;
  Listener listener_;
  uint64_t connection_ = 0;  // answers for an earlier connection are dropped
  bool pulled_ = false;
  uint64_t last_due_ = 0;
};

}  // namespace nimbra::sim
