// SPDX-License-Identifier: MIT
// What the simulated card is and how it answers, as the [card] section of machine.ini says:
//
//   [card]
//   port = 3                    COM port the card's modem sits on
//   device = UCA2-PCX           model name of a supported card, adapter or cable
//   carries = KVT31-J           the data card inside an adapter or cable (default KVT30-J)
//   model_code = KVT99-J        answer to ATI4 (default: the code of the card)
//   firmware = Ver 2.10         answer to ATI5
//   phs_number = 07012345678    answer to ATI6
//   levels = 5,4,3,0,-          signal level per channel, 0..5, "-" for not available
//   free_channels = 2           answer to AT@@LNK
//   echo = on                   echo after power-on and ATZ
//   reply_ms = 30               reply time of every command ...
//   reply_ms.AT@@LVL = 400      ... or of one command word
//   fault = none                none, silent, error, late, partial, garbage or unplugged
//   fault.AT@K = silent         ... or of one command word: none, silent, error, partial, garbage
//   dial_answer = CONNECT       the answer to "ATD" (BUSY, NO CARRIER, ...; empty: none)
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/ini_file.h"

namespace nimbra::sim {

enum class CardFault {
  None,
  Silent,     // no echo, no answer
  Error,      // "ERROR" to every command
  Late,       // each answer comes only when the next command arrives
  Partial,    // each answer breaks off in its middle
  Garbage,    // each answer comes as noise of the same length
  Unplugged,  // the card goes away when the next command arrives
};

std::optional<CardFault> parse_card_fault(std::string_view name);

inline constexpr int kLevelNotAvailable = -1;

struct CardSettings {
  std::string device = "KVT30-J";      // model name of the catalogue row
  std::string model_code = "KVT30-J";  // what the data card answers to ATI4
  std::string firmware = "Ver 1.00";
  std::string phs_number = "07012345678";
  std::vector<int> levels{5, 4, 3, 0, kLevelNotAvailable};
  int free_channels = 2;
  bool echo = true;
  uint32_t reply_ms = 0;                        // 0: each command's own default
  std::map<std::string, uint32_t> reply_ms_of;  // by command word (ATI4, AT@@LVL, AT@K, ...)
  CardFault fault = CardFault::None;
  std::map<std::string, CardFault> fault_of;  // by command word, for the faults of one answer
  std::string dial_answer = "CONNECT";
};

inline constexpr size_t kMaxDialAnswer = 64;

// The card model code of the data card that a catalogue model name stands for; for an adapter
// or cable, of the card it carries. Nothing for names outside the catalogue.
std::optional<std::string> card_model_code(std::string_view device, std::string_view carries);

// Reads the [card] section; nothing when the machine has no card. Throws MachineError naming a
// malformed key.
struct CardPlacement {
  int16_t port = 0;
  CardSettings settings;
};
std::optional<CardPlacement> load_card(const platform::IniFile& ini);

}  // namespace nimbra::sim
