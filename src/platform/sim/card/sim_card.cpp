// SPDX-License-Identifier: MIT
#include "platform/sim/card/sim_card.h"

#include <algorithm>
#include <string>

namespace nimbra::sim {

SimCard::SimCard(CardSettings settings, Scheduler& scheduler)
    : model_(std::move(settings)), scheduler_(scheduler) {}

void SimCard::connect(Listener listener) {
  listener_ = std::move(listener);
  ++connection_;
}

void SimCard::disconnect() {
  listener_ = {};
  ++connection_;
}

void SimCard::write(std::string_view bytes) {
  if (!plugged()) return;
  auto outputs = model_.receive(bytes);
  if (!plugged()) {
    lose_listener();
    return;
  }
  for (auto& out : outputs) {
    // Answers keep their order even when a later one has a shorter reply time.
    last_due_ = std::max(last_due_, scheduler_.now_ms() + out.delay_ms);
    scheduler_.at(last_due_, Scheduler::Lane::Device,
                  [this, connection = connection_, bytes = std::move(out.bytes)] {
                    if (connection == connection_ && listener_.receive) listener_.receive(bytes);
                  });
  }
}

void SimCard::unplug() {
  pulled_ = true;
  lose_listener();
}

void SimCard::lose_listener() {
  const auto gone = std::move(listener_.gone);
  disconnect();
  if (gone) gone();
}

}  // namespace nimbra::sim
