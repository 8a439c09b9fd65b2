// SPDX-License-Identifier: MIT
#include "custom_check.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "controls/link_target.h"
#include "custom_fields.h"
#include "custom_show.h"

namespace nimbra::custom {

namespace {

// What a text does when it replaces the built-in one, and the name of its field in warnings.
struct TextEffect {
  std::string CustomRecord::*member;
  std::string_view name;
  std::string_view effect;  // followed by the text
};

constexpr TextEffect kTextEffects[] = {
    {&CustomRecord::WindowTitle, "the window title", "the window title is "},
    {&CustomRecord::UserName, "the user name", "the user name is preset to "},
    {&CustomRecord::Password, "the password", "the password is preset"},
    {&CustomRecord::RedialCount, "the number of redials", "the number of redials is preset to "},
    {&CustomRecord::RedialInterval, "the seconds between redials",
     "the seconds between redials are preset to "},
    {&CustomRecord::MailAddress, "the mail address", "the mail link opens "},
    {&CustomRecord::MailLinkCaption, "the mail link's text", "the mail link reads "},
    {&CustomRecord::WebAddress, "the web address", "the web link opens "},
    {&CustomRecord::WebLinkCaption, "the web link's text", "the web link reads "},
    {&CustomRecord::VersionText, "the version text", "the version text reads "},
};

// What a flag does when it differs from the built-in window, by key.
struct FlagEffect {
  std::string_view key;
  std::string_view effect;
};

constexpr FlagEffect kFlagEffects[] = {
    {"access_code",
     "an access code is asked at every start (\"qenvora\" and the last two "
     "characters of the day's short date); a wrong one ends the program"},
    {"access_point_label_visible", "the access-point label is hidden"},
    {"user_name_locked", "the user name box is locked"},
    {"user_name_visible", "the user name box and its label are hidden"},
    {"password_locked", "the password box is locked"},
    {"password_visible", "the password box and its label are hidden"},
    {"redial_disabled", "the Redial box cannot be clicked"},
    {"redial_visible", "the Redial box is hidden"},
    {"single_mode_disabled", "the SingleMode box cannot be clicked"},
    {"single_mode_visible", "the SingleMode box is shown"},
    {"redial_count_locked", "the number of redials is locked"},
    {"redial_count_visible", "the number of redials and its label are hidden"},
    {"redial_interval_locked", "the seconds between redials are locked"},
    {"redial_interval_visible", "the seconds between redials and its label are hidden"},
    {"stop_visible", "the Stop button is hidden"},
    {"frame_disabled", "the accelerator frame cannot be clicked"},
    {"frame_visible", "the accelerator frame is hidden"},
    {"accelerator1_visible", "the first accelerator choice (very high-speed) is hidden"},
    {"accelerator2_visible", "the second accelerator choice (high-speed) is hidden"},
    {"accelerator3_visible", "the third accelerator choice (medium-speed) is hidden"},
    {"no_acceleration_visible", "the \"No acceleration\" choice is hidden"},
    {"cache_frame_disabled", "the cache frame cannot be clicked"},
    {"cache_frame_visible", "the cache frame is hidden"},
    {"signal_frame_visible", "the signal strength frame is hidden and Measure skips the levels"},
    {"link_frame_visible",
     "the available channel frame is hidden and Measure skips the free channels"},
    {"mail_link_visible", "the mail link is hidden"},
    {"web_link_visible", "the web link is hidden"},
    {"version_visible", "the version text is hidden"},
};

constexpr std::string_view kCheckStates[] = {"unchecked", "checked", "greyed"};

// The key of the field that locks a text, when there is one.
const CustomField* lock_of(const CustomField& text) {
  for (const CustomField& f : custom_fields()) {
    if (f.role == FlagRole::Locked && f.control == text.control) return &f;
  }
  return nullptr;
}

const TextEffect& text_effect(const CustomField& field) {
  return *std::find_if(std::begin(kTextEffects), std::end(kTextEffects),
                       [&](const TextEffect& e) { return e.member == field.text; });
}

std::string_view flag_effect(const CustomField& field) {
  const auto it = std::find_if(std::begin(kFlagEffects), std::end(kFlagEffects),
                               [&](const FlagEffect& e) { return e.key == field.key; });
  return it == std::end(kFlagEffects) ? std::string_view{} : it->effect;
}

std::string quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

size_t characters(std::string_view utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

class Checker {
 public:
  Checker(const CustomRecord& record, platform::CodePage page) : record_(record), page_(page) {}

  CheckResult run() {
    for (const CustomField& field : custom_fields()) {
      switch (field.kind) {
        case FieldKind::Text:
          text(field);
          break;
        case FieldKind::Flag:
          flag(field);
          break;
        case FieldKind::CheckState:
          check_state(field);
          break;
        case FieldKind::Number:
          break;
      }
    }
    tcpip();
    hidden_but_set();
    return std::move(result_);
  }

 private:
  bool differs(const CustomField& field) const {
    if (field.kind == FieldKind::Text) return shown(field).has_value();
    const int32_t value = record_.*field.number;
    if (field.kind == FieldKind::Flag) return (value == 1) != (field.builtin == 1);
    return value != field.builtin;
  }

  std::optional<std::string> shown(const CustomField& field) const {
    return shell::custom_text_shown(record_, shell::custom_text_field(field.text), page_);
  }

  void text(const CustomField& field) {
    const TextEffect& effect = text_effect(field);
    const std::string& bytes = record_.*field.text;
    if (bytes.find('\0') != std::string::npos) {
      warn(std::string(effect.name) +
           " holds a NUL byte: the window shows only what comes before it");
    }
    const auto text = shown(field);
    const CustomField* lock = lock_of(field);
    const bool locked = lock && record_.*lock->number == 1;
    if (!text) {
      const size_t least = shell::custom_text_field(field.text).min_length;
      const auto trimmed = bytes.find_first_not_of(' ');
      if (trimmed != std::string::npos) {
        warn(std::string(effect.name) + " is too short to be used (it needs " +
             std::to_string(least) + " characters or more); the built-in text stays");
      }
      if (locked) {
        warn("nothing is preset in " + std::string(effect.name) +
             ", yet it is locked: the customer cannot type it in");
      }
      return;
    }
    std::string line(effect.effect);
    if (field.text == &CustomRecord::Password) {
      line += " (" + std::to_string(characters(*text)) + " characters)";
    } else if (field.text == &CustomRecord::MailAddress) {
      line += controls::mailto_target(*text);
      if (text->starts_with("mailto:"))
        warn("the mail address starts with \"mailto:\", which the program adds itself");
    } else if (field.text == &CustomRecord::WebAddress) {
      line += controls::http_target(*text);
      if (text->starts_with("http://") || text->starts_with("https://")) {
        warn("the web address starts with its scheme, but the program puts \"http://\" before it");
      }
    } else {
      line += quoted(*text);
    }
    if (locked) line += " and locked";
    effect_line(line);
    const bool box_of_30 =
        field.text == &CustomRecord::UserName || field.text == &CustomRecord::Password;
    if (box_of_30 && characters(*text) > 30) {
      warn(std::string(effect.name) + " has more than the 30 characters its box holds");
    }
  }

  void flag(const CustomField& field) {
    const int32_t value = record_.*field.number;
    if (value != 0 && value != 1) {
      warn("[" + std::string(field.section) + "] " + std::string(field.key) + " holds " +
           std::to_string(value) + "; the program takes any value but 1 as 0");
    }
    if (!differs(field)) return;
    // A lock on a preset text is told with the text.
    if (field.role == FlagRole::Locked) {
      const auto text =
          std::find_if(custom_fields().begin(), custom_fields().end(), [&](const CustomField& f) {
            return f.kind == FieldKind::Text && f.control == field.control;
          });
      if (text != custom_fields().end() && shown(*text)) return;
    }
    effect_line(std::string(flag_effect(field)));
    if (field.role == FlagRole::StartLock) {
      warn(
          "the access code locks the program at every start: customers must be told the code, "
          "and a wrong one ends the program");
    }
  }

  void check_state(const CustomField& field) {
    const int32_t value = record_.*field.number;
    const std::string box = field.control == "redial" ? "the Redial box" : "the SingleMode box";
    if (value < 0 || value > 2) {
      effect_line(box + " keeps its own state");
      warn("[" + std::string(field.section) + "] " + std::string(field.key) + " holds " +
           std::to_string(value) + ", which is no check state (0, 1 or 2)");
      return;
    }
    if (differs(field)) effect_line(box + " is " + std::string(kCheckStates[value]) + " at start");
  }

  void tcpip() {
    const int32_t mtu = record_.MtuValue, rwin = record_.RwinValue;
    if (mtu != 1500 || rwin != 17520) {
      effect_line("the Optimize page recommends MTU " + std::to_string(mtu) +
                  " and receive window " + std::to_string(rwin) + " (on Windows 95, 98 and Me)");
    }
    if (mtu == 0)
      warn("the MTU is 0: \"Recommended\" then sets no MTU, as \"Windows default\" does");
    if (rwin == 0) warn("the receive window is 0: \"Recommended\" then sets none");
    if (mtu < 0 || mtu > 1500) {
      warn("the MTU " + std::to_string(mtu) + " is outside 1 to 1500, what a user may type");
    }
    if (rwin < 0 || rwin > 999999) {
      warn("the receive window " + std::to_string(rwin) +
           " is outside what its box holds (6 digits)");
    }
    if (mtu > 0 && rwin > 0 && rwin < mtu) {
      warn("the receive window is smaller than the MTU (" + std::to_string(rwin) + " < " +
           std::to_string(mtu) + ")");
    }
  }

  // A hidden control whose other fields are set: probably a 0 meant as 1.
  void hidden_but_set() {
    for (const CustomField& visible : custom_fields()) {
      if (visible.role != FlagRole::Visible || record_.*visible.number == 1) continue;
      std::vector<std::string> set;
      for (const CustomField& other : custom_fields()) {
        if (&other != &visible && other.control == visible.control && differs(other)) {
          set.push_back(std::string(other.key));
        }
      }
      if (set.empty()) continue;
      std::string keys;
      for (const std::string& key : set) keys += (keys.empty() ? "" : ", ") + key;
      warn("[" + std::string(visible.section) + "] " + std::string(visible.key) +
           " is 0, so the control is hidden, yet " + keys + (set.size() == 1 ? " is" : " are") +
           " set for it; was 1 meant?");
    }
  }

  void effect_line(std::string line) { result_.effects.push_back(std::move(line)); }
  void warn(std::string line) { result_.warnings.push_back(std::move(line)); }

  const CustomRecord& record_;
  platform::CodePage page_;
  CheckResult result_;
};

}  // namespace

CheckResult check_custom(std::span<const uint8_t> file, platform::CodePage page) {
  if (file.size() < CustomRecord::kSize) {
    return {{"nothing: the program ignores a file shorter than " +
             std::to_string(CustomRecord::kSize) + " bytes and runs as built in"},
            {"the file has only " + std::to_string(file.size()) + " bytes"}};
  }
  const CustomRecord record = shell::decode_custom(
      std::span<const uint8_t, CustomRecord::kSize>(file.data(), CustomRecord::kSize));
  CheckResult result = Checker(record, page).run();
  if (file.size() > CustomRecord::kSize) {
    result.warnings.push_back("the file has " + std::to_string(file.size()) +
                              " bytes; the program reads the first " +
                              std::to_string(CustomRecord::kSize) + " and ignores the rest");
  }
  return result;
}

}  // namespace nimbra::custom
