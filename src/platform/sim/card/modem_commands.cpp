// SPDX-License-Identifier: MIT
#include "platform/sim/card/modem_commands.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <utility>

namespace nimbra::sim {

namespace {

// Escape character, line end, line feed, backspace, blind-dial pause, carrier wait, comma
// pause, carrier detect time, carrier loss time, guard time, escape code guard time.
constexpr std::array<std::pair<size_t, uint8_t>, 12> kSDefaults{{
    {2, 43},
    {3, 13},
    {4, 10},
    {5, 8},
    {6, 2},
    {7, 50},
    {8, 2},
    {9, 6},
    {10, 14},
    {11, 95},
    {12, 50},
    {25, 5},
}};

// Numeric forms of the verbose result codes.
constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kNumericCodes{{
    {"OK", "0"},
    {"CONNECT", "1"},
    {"RING", "2"},
    {"NO CARRIER", "3"},
    {"ERROR", "4"},
    {"NO DIALTONE", "6"},
    {"BUSY", "7"},
    {"NO ANSWER", "8"},
}};

constexpr int kMaxParameter = 255;

// Reads the command line: upper case, blanks left out, as a modem reads it.
class CommandText {
 public:
  explicit CommandText(std::string_view body) {
    for (const char c : body) {
      if (c != ' ') text_ += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  bool done() const { return at_ >= text_.size(); }
  char peek() const { return done() ? '\0' : text_[at_]; }
  char take() { return done() ? '\0' : text_[at_++]; }
  bool take_if(char c) {
    if (peek() != c) return false;
    ++at_;
    return true;
  }
  // A decimal parameter; an omitted one is 0. Nothing when it is out of range.
  std::optional<int> number() {
    int n = 0;
    while (std::isdigit(static_cast<unsigned char>(peek()))) {
      n = n * 10 + (take() - '0');
      if (n > kMaxParameter) return std::nullopt;
    }
    return n;
  }
  // The name of an extended command: letters after the "+".
  std::string name() {
    std::string n;
    while (std::isalpha(static_cast<unsigned char>(peek()))) n += take();
    return n;
  }
  // The rest of an extended command, up to the ";" that ends it.
  std::string argument() {
    std::string a;
    while (!done() && peek() != ';') a += take();
    take_if(';');
    return a;
  }

 private:
  std::string text_;
  size_t at_ = 0;
};

std::string three_digits(int value) {
  std::array<char, 8> digits{};
  std::snprintf(digits.data(), digits.size(), "%03d", value);
  return digits.data();
}

// Letters the modem takes with a parameter up to `highest`; the others are ERROR.
struct BasicCommand {
  char letter;
  int highest;
};
constexpr std::array<BasicCommand, 8> kBasic{{
    {'E', 1},  // echo
    {'Q', 1},  // quiet
    {'V', 1},  // verbose
    {'Z', 0},  // reset
    {'H', 0},  // on hook: the card is not off hook in command mode
    {'L', 3},  // speaker loudness, speaker mode and result code set: a card has no speaker and
    {'M', 3},  // one set of codes, so these are taken and change nothing
    {'X', 4},
}};

bool basic(char letter, int value, ModemState& modem) {
  for (const BasicCommand& b : kBasic) {
    if (b.letter != letter) continue;
    if (value > b.highest) return false;
    if (letter == 'E') modem.echo = value == 1;
    if (letter == 'Q') modem.quiet = value == 1;
    if (letter == 'V') modem.verbose = value == 1;
    if (letter == 'Z') modem.reset();
    return true;
  }
  return false;
}

std::optional<std::string_view> identification(int value, const ModemIdentity& identity) {
  switch (value) {
    case 0:
    case 4:
      return identity.model_code;
    case 5:
      return identity.firmware;
    case 6:
      return identity.phs_number;
    default:
      return std::nullopt;
  }
}

bool ampersand(char letter, int value, ModemState& modem) {
  if (letter == 'F' && value == 0) {
    modem.reset();
  } else if (letter == 'C' && value <= 1) {
    modem.dcd_mode = value;
  } else if (letter == 'D' && value <= 3) {
    modem.dtr_mode = value;
  } else {
    return false;
  }
  return true;
}

// An extended command: data class (only 0, data, on a data card) and the generic
// identification commands.
bool extended(const std::string& name, const std::string& argument, const ModemIdentity& identity,
              std::vector<std::string>& info) {
  if (name == "FCLASS") {
    if (argument == "?") {
      info.emplace_back("0");
    } else if (argument == "=?") {
      info.emplace_back("(0)");
    } else if (argument != "=0" && argument != "=") {
      return false;
    }
    return true;
  }
  if (!argument.empty() && argument != "=?") return false;
  if (name == "GCAP") {
    if (argument.empty()) info.emplace_back("+GCAP: +FCLASS");
  } else if (name == "GMI") {
    if (argument.empty()) info.emplace_back(identity.maker);
  } else if (name == "GMM") {
    if (argument.empty()) info.emplace_back(identity.model_code);
  } else if (name == "GMR") {
    if (argument.empty()) info.emplace_back(identity.firmware);
  } else {
    return false;
  }
  return true;
}

bool s_register(CommandText& text, ModemState& modem, std::vector<std::string>& info) {
  const auto reg = text.number();
  if (!reg) return false;
  if (text.take_if('?')) {
    info.push_back(three_digits(modem.s[static_cast<size_t>(*reg)]));
    return true;
  }
  if (!text.take_if('=')) return false;
  const auto value = text.number();
  if (!value) return false;
  modem.s[static_cast<size_t>(*reg)] = static_cast<uint8_t>(*value);
  return true;
}

// One command at the reader's position; false when the modem does not take it.
bool run_one(CommandText& text, ModemState& modem, const ModemIdentity& identity,
             std::vector<std::string>& info) {
  const char letter = text.take();
  if (letter == 'S') return s_register(text, modem, info);
  if (letter == '+') {
    const std::string name = text.name();
    return extended(name, text.argument(), identity, info);
  }
  if (letter == '&') {
    const char which = text.take();
    const auto value = text.number();
    return value && ampersand(which, *value, modem);
  }
  const auto value = text.number();
  if (!value) return false;
  if (letter == 'I') {
    const auto answer = identification(*value, identity);
    if (answer) info.emplace_back(*answer);
    return answer.has_value();
  }
  return basic(letter, *value, modem);
}

}  // namespace

void ModemState::reset() {
  echo = echo_after_reset;
  quiet = false;
  verbose = true;
  dcd_mode = 1;
  dtr_mode = 2;
  s.fill(0);
  for (const auto& [reg, value] : kSDefaults) s[reg] = value;
}

LineOutcome run_command_line(std::string_view body, ModemState& modem,
                             const ModemIdentity& identity) {
  LineOutcome outcome;
  CommandText text(body);
  while (!text.done()) {
    if (text.take_if('D')) {
      outcome.final = LineOutcome::Final::Dial;
      return outcome;
    }
    if (!run_one(text, modem, identity, outcome.info)) {
      outcome.final = LineOutcome::Final::Error;
      return outcome;
    }
  }
  return outcome;
}

std::string info_text(const ModemState& modem, std::string_view line) {
  return (modem.verbose ? "\r\n" : "") + std::string(line) + "\r\n";
}

std::string result_code(const ModemState& modem, std::string_view verbose) {
  if (modem.quiet) return "";
  if (modem.verbose) return "\r\n" + std::string(verbose) + "\r\n";
  for (const auto& [word, number] : kNumericCodes) {
    if (word == verbose) return std::string(number) + "\r";
  }
  return std::string(verbose) + "\r";
}

}  // namespace nimbra::sim
