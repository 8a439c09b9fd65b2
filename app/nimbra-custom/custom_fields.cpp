// SPDX-License-Identifier: MIT
#include "custom_fields.h"

#include <algorithm>
#include <array>

#include "platform/text/ini_file.h"

namespace nimbra::custom {

namespace {

using R = CustomRecord;
using K = FieldKind;
using F = FlagRole;

CustomField text(std::string_view section, std::string_view key, std::string R::*member,
                 std::string_view control, std::string_view help) {
  return {section, key, K::Text, F::None, nullptr, member, 0, control, help};
}

CustomField flag(std::string_view section, std::string_view key, FlagRole role, int32_t R::*member,
                 int32_t builtin, std::string_view control, std::string_view help) {
  return {section, key, K::Flag, role, member, nullptr, builtin, control, help};
}

CustomField check_state(std::string_view section, std::string_view key, int32_t R::*member,
                        std::string_view control, std::string_view help) {
  return {section, key, K::CheckState, F::None, member, nullptr, 0, control, help};
}

CustomField number(std::string_view section, std::string_view key, int32_t R::*member,
                   int32_t builtin, std::string_view help) {
  return {section, key, K::Number, F::None, member, nullptr, builtin, {}, help};
}

constexpr std::array<CustomSection, 6> kSections = {{
    {"window", "The whole window."},
    {"dialup", "The Dial-up page."},
    {"accelerator", "The Accelerator page."},
    {"cardinfo", "The CardInfo page."},
    {"option", "The Option page: the two links and the version text."},
    {"optimize",
     "The Optimize page's \"Recommended\" choice (it acts on Windows 95, 98 and Me only)."},
}};

// In the order the INI lists them.
const std::array<CustomField, 42> kFields = {{
    text("window", "title", &R::WindowTitle, "title",
         "The window's title, in place of the built-in one (at least 2 characters)."),
    flag("window", "access_code", F::StartLock, &R::StartLock, 0, "access_code",
         "1: the access-code window opens at every start, before the main window; the code\n"
         "is \"qenvora\" and the last two characters of the day's short date."),

    flag("dialup", "access_point_label_visible", F::Visible, &R::AccPtLabVisible, 1,
         "access_point_label", "0 hides the label of the access-point list."),
    text("dialup", "user_name", &R::UserName, "user_name",
         "The user name put in its box at start (at least 2 characters); the box holds 30."),
    flag("dialup", "user_name_locked", F::Locked, &R::UserLocked, 0, "user_name",
         "1: the user name cannot be changed."),
    flag("dialup", "user_name_visible", F::Visible, &R::UserVisible, 1, "user_name",
         "0 hides the user name box and its label."),
    text("dialup", "password", &R::Password, "password",
         "The password put in its box at start (at least 2 characters); the box holds 30."),
    flag("dialup", "password_locked", F::Locked, &R::PassLocked, 0, "password",
         "1: the password cannot be changed."),
    flag("dialup", "password_visible", F::Visible, &R::PassVisible, 1, "password",
         "0 hides the password box and its label."),
    check_state("dialup", "redial_check", &R::RedialValue, "redial",
                "The Redial box at start: 0 unchecked, 1 checked, 2 greyed."),
    flag("dialup", "redial_disabled", F::Disabled, &R::RedialDisabled, 0, "redial",
         "1: the Redial box cannot be clicked."),
    flag("dialup", "redial_visible", F::Visible, &R::RedialVisible, 1, "redial",
         "0 hides the Redial box."),
    check_state(
        "dialup", "single_mode_check", &R::SingleValue, "single_mode",
        "The SingleMode box at start: 0 unchecked, 1 checked, 2 greyed (nothing reads it)."),
    flag("dialup", "single_mode_disabled", F::Disabled, &R::SingleDisabled, 0, "single_mode",
         "1: the SingleMode box cannot be clicked."),
    flag("dialup", "single_mode_visible", F::Visible, &R::SingleVisible, 0, "single_mode",
         "1 shows the SingleMode box, which the built-in window does not show."),
    text("dialup", "redial_count", &R::RedialCount, "redial_count",
         "The number of redials put in its box at start (at least 1 character)."),
    flag("dialup", "redial_count_locked", F::Locked, &R::RedialCountLocked, 0, "redial_count",
         "1: the number of redials cannot be changed."),
    flag("dialup", "redial_count_visible", F::Visible, &R::RedialCountVisible, 1, "redial_count",
         "0 hides the number of redials and its label."),
    text("dialup", "redial_interval", &R::RedialInterval, "redial_interval",
         "The seconds between redials put in its box at start (at least 1 character)."),
    flag("dialup", "redial_interval_locked", F::Locked, &R::RedialIntervalLocked, 0,
         "redial_interval", "1: the seconds between redials cannot be changed."),
    flag("dialup", "redial_interval_visible", F::Visible, &R::RedialIntervalVisible, 1,
         "redial_interval", "0 hides the seconds between redials and its label."),
    flag("dialup", "stop_visible", F::Visible, &R::StopVisible, 1, "stop",
         "0 hides the Stop button."),

    flag("accelerator", "frame_disabled", F::Disabled, &R::AccelFrameDisabled, 0, "accelerator",
         "1: the web accelerator frame and its four choices cannot be clicked."),
    flag("accelerator", "frame_visible", F::Visible, &R::AccelFrameVisible, 1, "accelerator",
         "0 hides the web accelerator frame with its four choices."),
    flag("accelerator", "accelerator1_visible", F::Visible, &R::Accel1Visible, 1, "accelerator1",
         "0 hides the first choice (very high-speed)."),
    flag("accelerator", "accelerator2_visible", F::Visible, &R::Accel2Visible, 1, "accelerator2",
         "0 hides the second choice (high-speed)."),
    flag("accelerator", "accelerator3_visible", F::Visible, &R::Accel3Visible, 1, "accelerator3",
         "0 hides the third choice (medium-speed)."),
    flag("accelerator", "no_acceleration_visible", F::Visible, &R::NoAccelVisible, 1,
         "no_acceleration", "0 hides the \"No acceleration\" choice."),
    flag("accelerator", "cache_frame_disabled", F::Disabled, &R::CacheFrameDisabled, 0, "cache",
         "1: the cache frame (Delete cache) cannot be clicked."),
    flag("accelerator", "cache_frame_visible", F::Visible, &R::CacheFrameVisible, 1, "cache",
         "0 hides the cache frame."),

    flag("cardinfo", "signal_frame_visible", F::Visible, &R::SignalFrameVisible, 1, "signal",
         "0 hides the signal strength frame; Measure then skips the signal levels."),
    flag("cardinfo", "link_frame_visible", F::Visible, &R::LinkFrameVisible, 1, "channels",
         "0 hides the available channel frame; Measure then skips the free channels."),

    flag("option", "mail_link_visible", F::Visible, &R::MailLinkVisible, 1, "mail_link",
         "0 hides the mail link."),
    text("option", "mail_address", &R::MailAddress, "mail_link",
         "The mail link's address without \"mailto:\" (at least 2 characters)."),
    text("option", "mail_link_caption", &R::MailLinkCaption, "mail_link",
         "The mail link's text (at least 2 characters)."),
    flag("option", "web_link_visible", F::Visible, &R::WebLinkVisible, 1, "web_link",
         "0 hides the web link."),
    text("option", "web_address", &R::WebAddress, "web_link",
         "The web link's address without \"http://\" (at least 2 characters)."),
    text("option", "web_link_caption", &R::WebLinkCaption, "web_link",
         "The web link's text (at least 2 characters)."),
    flag("option", "version_visible", F::Visible, &R::VersionVisible, 1, "version",
         "0 hides the version text."),
    text("option", "version_text", &R::VersionText, "version",
         "The version text, in place of the built-in one (at least 2 characters)."),

    number("optimize", "mtu", &R::MtuValue, 1500, "The recommended MTU (packet size)."),
    number("optimize", "rwin", &R::RwinValue, 17520,
           "The recommended receive window (RWIN, buffer size)."),
}};

}  // namespace

std::span<const CustomField> custom_fields() {
  return kFields;
}

std::span<const CustomSection> custom_sections() {
  return kSections;
}

const CustomField* find_custom_field(std::string_view section, std::string_view key) {
  const auto it = std::find_if(kFields.begin(), kFields.end(), [&](const CustomField& f) {
    return platform::iequals(f.section, section) && platform::iequals(f.key, key);
  });
  return it == kFields.end() ? nullptr : &*it;
}

const CustomSection* find_custom_section(std::string_view name) {
  const auto it = std::find_if(kSections.begin(), kSections.end(), [&](const CustomSection& s) {
    return platform::iequals(s.name, name);
  });
  return it == kSections.end() ? nullptr : &*it;
}

CustomRecord builtin_record() {
  CustomRecord record;
  for (const CustomField& field : kFields) {
    if (field.kind == FieldKind::Text) {
      record.*field.text = std::string(shell::custom_text_field(field.text).width, ' ');
    } else {
      record.*field.number = field.builtin;
    }
  }
  return record;
}

}  // namespace nimbra::custom
