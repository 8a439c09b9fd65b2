// SPDX-License-Identifier: MIT
#include "platform/sim/card/card_model.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <utility>

namespace nimbra::sim {

namespace {

constexpr size_t kMaxLine = 128;
constexpr size_t kMaxRecordedCommands = 1000;

std::string upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

// The word a command line's reply time and faults are looked up by: ATD for a dial, else the
// line without blanks (ATZ, ATI4, AT).
std::string command_word(std::string_view body) {
  std::string word = "AT";
  for (const char c : body) {
    if (c != ' ') word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return word;
}

// What +GMI answers: the maker of the data card.
std::string_view maker_of(std::string_view code) {
  if (code.starts_with("KVT")) return "ARLEN DENSHI CO.,LTD.";
  if (code.starts_with("KVR")) return "TRV";
  if (code.starts_with("PX-")) return "Pellam Infra";
  return "";
}

// Counts are four zero-padded digits right after the command, with no leading line break.
std::string count_field(int count) {
  std::array<char, 8> digits{};
  std::snprintf(digits.data(), digits.size(), "%04d", count);
  return std::string(digits.data());
}

// The cards that take the measurement commands, and the letter case of their level command.
bool measures_levels(std::string_view code) {
  return code == "KVT30-J" || code == "KVT30C-J" || code == "KVT31-J" || code == "KVT31C-J" ||
         code == "KVR20C-J";
}
std::string_view level_command(std::string_view code) {
  return code == "KVT30C-J" || code == "KVT31C-J" ? "at@@lvl" : "AT@@LVL";
}

// Field strength that a PX-301 reports for a level (the program maps 61+ to 5, 51-60 to 4, ...).
int strength_of(int level) {
  constexpr std::array<int, 6> kStrength{10, 25, 35, 45, 55, 65};
  return level < 0 ? 0 : kStrength[static_cast<size_t>(std::min(level, 5))];
}

struct DefaultReplyTime {
  std::string_view word;
  uint32_t ms;
};
// The PX-301 takes longer than one 1100 ms wait over its field strengths.
constexpr std::array<DefaultReplyTime, 7> kDefaultReplyMs{{
    {"ATI4", 40},
    {"ATI5", 40},
    {"ATI6", 40},
    {"AT@@LVL", 400},
    {"AT@@LNK", 200},
    {"AT@K", 1500},
    {"ATD", 300},
}};
constexpr uint32_t kShortReplyMs = 10;

}  // namespace

CardModel::CardModel(CardSettings settings)
    : settings_(std::move(settings)), modem_(settings_.echo) {}

std::vector<CardOutput> CardModel::receive(std::string_view bytes) {
  std::vector<CardOutput> out;
  if (unplugged_ || settings_.fault == CardFault::Silent) return out;
  std::string echoed;
  for (const char c : bytes) {
    if (modem_.echo) echoed += c;
    if (c == '\n') continue;
    if (c != '\r') {
      if (line_.size() < kMaxLine) {
        line_ += c;
      } else {
        line_overflow_ = true;
      }
      continue;
    }
    const std::string line = line_overflow_ ? std::string("AT?") : line_;
    line_.clear();
    line_overflow_ = false;
    if (line.size() < 2 || upper(line.substr(0, 2)) != "AT") continue;  // not a command
    if (commands_.size() < kMaxRecordedCommands) commands_.push_back(line);
    if (settings_.fault == CardFault::Unplugged) {
      unplugged_ = true;
      return {};
    }
    if (!echoed.empty()) out.push_back({0, std::move(echoed)});
    echoed.clear();
    if (!held_.empty()) out.push_back({0, std::exchange(held_, {})});
    CardOutput reply = finish(answer(line));
    if (settings_.fault == CardFault::Late) {
      held_ = std::move(reply.bytes);
    } else if (!reply.bytes.empty()) {
      out.push_back(std::move(reply));
    }
  }
  if (!echoed.empty()) out.push_back({0, std::move(echoed)});
  return out;
}

CardModel::Answer CardModel::answer(const std::string& line) {
  const std::string& code = settings_.model_code;
  const std::string body = line.substr(2);
  const std::string word = upper(body);
  if (settings_.fault == CardFault::Error) return {"AT" + word, result_code(modem_, "ERROR")};
  if (word == "@@LVL" && measures_levels(code)) {
    if (line != level_command(code)) return {"AT@@LVL", result_code(modem_, "ERROR")};
    std::string digits;
    for (const int level : settings_.levels) {
      digits += static_cast<char>('0' + std::max(level, 0));
    }
    return {"AT@@LVL", count_field(static_cast<int>(settings_.levels.size())) + "\r\n" + digits +
                           "\r\n" + result_code(modem_, "OK")};
  }
  if (word == "@@LNK" && measures_levels(code)) {
    return {"AT@@LNK", count_field(settings_.free_channels) + "\r\n" + result_code(modem_, "OK")};
  }
  if (word == "@K" && code == "PX-301") {
    std::string fields = "@K:1,07";
    for (size_t k = 0; k < 3; ++k) {
      const int level = k < settings_.levels.size() ? settings_.levels[k] : kLevelNotAvailable;
      fields += "," + std::to_string(strength_of(level));
    }
    return {"AT@K", info_text(modem_, fields) + result_code(modem_, "OK")};
  }
  const ModemIdentity identity{maker_of(code), code, settings_.firmware, settings_.phs_number};
  const LineOutcome outcome = run_command_line(body, modem_, identity);
  std::string text;
  for (const std::string& info : outcome.info) text += info_text(modem_, info);
  switch (outcome.final) {
    case LineOutcome::Final::Ok:
      return {command_word(body), text + result_code(modem_, "OK")};
    case LineOutcome::Final::Error:
      return {command_word(body), text + result_code(modem_, "ERROR")};
    case LineOutcome::Final::Dial:
      break;
  }
  if (!settings_.dial_answer.empty()) text += result_code(modem_, settings_.dial_answer);
  return {"ATD", text};
}

CardOutput CardModel::finish(Answer answer) {
  const CardFault fault = fault_of(answer.word);
  if (fault == CardFault::Silent) return {};
  if (fault == CardFault::Error) answer.text = result_code(modem_, "ERROR");
  CardOutput reply{reply_ms(answer.word), std::move(answer.text)};
  if (fault == CardFault::Partial) {
    reply.bytes.resize(reply.bytes.size() / 2);
  } else if (fault == CardFault::Garbage) {
    reply.bytes = noise(reply.bytes.size());
  }
  return reply;
}

CardFault CardModel::fault_of(const std::string& word) const {
  const auto it = settings_.fault_of.find(word);
  return it != settings_.fault_of.end() ? it->second : settings_.fault;
}

uint32_t CardModel::reply_ms(const std::string& word) const {
  if (const auto it = settings_.reply_ms_of.find(word); it != settings_.reply_ms_of.end()) {
    return it->second;
  }
  if (settings_.reply_ms != 0) return settings_.reply_ms;
  for (const auto& d : kDefaultReplyMs) {
    if (d.word == word) return d.ms;
  }
  return kShortReplyMs;
}

std::string CardModel::noise(size_t length) {
  std::string bytes(length, '\0');
  for (char& c : bytes) {
    noise_state_ ^= noise_state_ << 13;
    noise_state_ ^= noise_state_ >> 17;
    noise_state_ ^= noise_state_ << 5;
    c = static_cast<char>(noise_state_ & 0xFF);
  }
  return bytes;
}

}  // namespace nimbra::sim
