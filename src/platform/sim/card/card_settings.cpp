// SPDX-License-Identifier: MIT
#include "platform/sim/card/card_settings.h"

#include <array>
#include <charconv>

#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

namespace {

constexpr std::string_view kSection = "card";

struct CatalogueCard {
  std::string_view model_name;
  std::string_view code;  // empty for adapters and cables: they carry a card
};

constexpr std::array<CatalogueCard, 10> kCards{{
    {"KVT30-J", "KVT30-J"},
    {"KVT30C-J", "KVT30C-J"},
    {"KVT31-J", "KVT31-J"},
    {"KVT31C-J", "KVT31C-J"},
    {"KVR20C-J", "KVR20C-J"},
    {"PX-301KV", "PX-301"},
    {"UCA2-PCX", ""},
    {"UCA2-PCXG", ""},
    {"Glider X", ""},
    {"Glider U", ""},
}};

constexpr std::array<std::pair<std::string_view, CardFault>, 7> kFaults{{
    {"none", CardFault::None},
    {"silent", CardFault::Silent},
    {"error", CardFault::Error},
    {"late", CardFault::Late},
    {"partial", CardFault::Partial},
    {"garbage", CardFault::Garbage},
    {"unplugged", CardFault::Unplugged},
}};

const CatalogueCard* find_card(std::string_view model_name) {
  for (const auto& c : kCards) {
    if (c.model_name == model_name) return &c;
  }
  return nullptr;
}

[[noreturn]] void bad_key(std::string_view key, std::string_view value, std::string_view expected) {
  throw MachineError("machine.ini: [card] " + std::string(key) + " = " + std::string(value) +
                     " is not " + std::string(expected));
}

template <class T>
T number_of(std::string_view key, std::string_view value, T low, T high) {
  const std::string_view text = platform::trim_blanks(value);
  T n{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < low || n > high) {
    bad_key(key, value, "a number from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return n;
}

std::vector<int> levels_of(std::string_view value) {
  std::vector<int> levels;
  std::string_view rest = value;
  constexpr size_t kMaxChannels = 15;
  while (!platform::trim_blanks(rest).empty()) {
    const size_t comma = rest.find(',');
    const std::string_view item = platform::trim_blanks(rest.substr(0, comma));
    if (levels.size() == kMaxChannels) bad_key("levels", value, "at most 15 channels");
    levels.push_back(item == "-" ? kLevelNotAvailable : number_of("levels", item, 0, 5));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return levels;
}

// The upper-case command word after "<prefix>." in a key such as reply_ms.AT@@LVL.
std::string command_word(std::string_view key, std::string_view prefix) {
  std::string word(key.substr(prefix.size() + 1));
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return word;
}

}  // namespace

std::optional<CardFault> parse_card_fault(std::string_view name) {
  for (const auto& [fault_name, fault] : kFaults) {
    if (platform::iequals(fault_name, name)) return fault;
  }
  return std::nullopt;
}

std::optional<std::string> card_model_code(std::string_view device, std::string_view carries) {
  const CatalogueCard* card = find_card(device);
  if (!card) return std::nullopt;
  if (!card->code.empty()) return std::string(card->code);
  const CatalogueCard* inner = find_card(carries);
  if (!inner || inner->code.empty()) return std::nullopt;
  return std::string(inner->code);
}

std::optional<CardPlacement> load_card(const platform::IniFile& ini) {
  const auto section = ini.section(kSection);
  if (!section) return std::nullopt;
  CardPlacement card;
  CardSettings& s = card.settings;
  const std::string port = ini.get_or(kSection, "port", "3");
  card.port = number_of<int16_t>("port", port, 1, 16);
  s.device = ini.get_or(kSection, "device", "KVT30-J");
  const std::string carries = ini.get_or(kSection, "carries", "KVT30-J");
  const auto code = card_model_code(s.device, carries);
  if (!code) bad_key("device", s.device + " carrying " + carries, "a card of the catalogue");
  s.model_code = *code;
  s.firmware = ini.get_or(kSection, "firmware", s.firmware);
  s.phs_number = ini.get_or(kSection, "phs_number", s.phs_number);
  if (const auto levels = ini.get(kSection, "levels")) s.levels = levels_of(*levels);
  if (const auto free = ini.get(kSection, "free_channels")) {
    s.free_channels = number_of("free_channels", *free, 0, 9999);
  }
  if (const auto echo = ini.get(kSection, "echo")) {
    if (!platform::iequals(*echo, "on") && !platform::iequals(*echo, "off")) {
      bad_key("echo", *echo, "on or off");
    }
    s.echo = platform::iequals(*echo, "on");
  }
  constexpr uint32_t kMaxReplyMs = 60000;
  for (const auto& entry : section->entries) {
    constexpr std::string_view kReplyKey = "reply_ms";
    if (!entry.key.starts_with(kReplyKey)) continue;
    const uint32_t ms = number_of<uint32_t>(entry.key, entry.value, 0, kMaxReplyMs);
    if (entry.key.size() == kReplyKey.size()) {
      s.reply_ms = ms;
    } else if (entry.key[kReplyKey.size()] == '.') {
      s.reply_ms_of[command_word(entry.key, kReplyKey)] = ms;
    }
  }
  for (const auto& entry : section->entries) {
    constexpr std::string_view kFaultKey = "fault.";
    if (!entry.key.starts_with(kFaultKey)) continue;
    const auto fault = parse_card_fault(entry.value);
    if (!fault || *fault == CardFault::Late || *fault == CardFault::Unplugged) {
      bad_key(entry.key, entry.value, "none, silent, error, partial or garbage");
    }
    s.fault_of[command_word(entry.key, kFaultKey.substr(0, kFaultKey.size() - 1))] = *fault;
  }
  if (const auto answer = ini.get(kSection, "model_code")) s.model_code = *answer;
  if (const auto fault = ini.get(kSection, "fault")) {
    const auto parsed = parse_card_fault(*fault);
    if (!parsed)
      bad_key("fault", *fault, "none, silent, error, late, partial, garbage or unplugged");
    s.fault = *parsed;
  }
  if (const auto answer = ini.get(kSection, "dial_answer")) {
    if (answer->size() > kMaxDialAnswer || answer->find_first_of("\r\n") != std::string::npos) {
      bad_key("dial_answer", *answer, "one short line");
    }
    s.dial_answer = *answer;
  }
  return card;
}

}  // namespace nimbra::sim
