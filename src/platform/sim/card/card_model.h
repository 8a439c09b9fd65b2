// SPDX-License-Identifier: MIT
// How a supported data card answers AT commands: one model of behaviour that the in-process
// transport (virtual time) and the pseudo-terminal transport (real time) both drive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/card/card_settings.h"
#include "platform/sim/card/modem_commands.h"

namespace nimbra::sim {

// Bytes the card sends, `delay_ms` after the bytes that caused them arrived.
struct CardOutput {
  uint32_t delay_ms = 0;
  std::string bytes;
};

class CardModel {
 public:
  explicit CardModel(CardSettings settings);

  // Takes bytes written to the card; returns what it sends back, in order.
  std::vector<CardOutput> receive(std::string_view bytes);

  // The card went away (the unplugged fault met a command); it answers nothing more.
  bool unplugged() const { return unplugged_; }

  // Control face.
  const CardSettings& settings() const { return settings_; }
  void set_fault(CardFault fault) { settings_.fault = fault; }
  void set_levels(std::vector<int> levels) { settings_.levels = std::move(levels); }
  bool echo() const { return modem_.echo; }
  // The command lines received so far, without their carriage returns.
  const std::vector<std::string>& commands() const { return commands_; }

 private:
  struct Answer {
    std::string word;  // upper-case command word: names the reply time
    std::string text;
  };
  Answer answer(const std::string& line);
  CardOutput finish(Answer answer);
  CardFault fault_of(const std::string& word) const;
  uint32_t reply_ms(const std::string& word) const;
  std::string noise(size_t length);

  CardSettings settings_;
  ModemState modem_;
  bool unplugged_ = false;
  bool line_overflow_ = false;
  std::string line_;
  std::string held_;  // a late answer waiting for the next command
  uint32_t noise_state_ = 0x2545F491u;
  std::vector<std::string> commands_;
};

}  // namespace nimbra::sim
