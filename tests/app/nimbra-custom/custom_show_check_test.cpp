// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "custom_build.h"
#include "custom_check.h"
#include "custom_ini.h"
#include "custom_show.h"

namespace nimbra::custom {
namespace {

using platform::CodePage;
using Bytes = std::vector<uint8_t>;

Bytes built(const std::string& ini, CodePage page = CodePage::Western) {
  const BuildResult result = build_custom(ini, page);
  EXPECT_TRUE(result.refusals.empty()) << ini;
  return result.image ? Bytes(result.image->begin(), result.image->end()) : Bytes{};
}

bool has(const std::vector<std::string>& lines, std::string_view part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return all;
}

// What build cannot write is shown and warned about, never dropped in silence: NULs in a
// text, reserved bytes, a short or long file, flags and check states build refuses.
TEST(CustomShow, WarnsAboutWhatTheIniCannotSay) {
  struct Row {
    std::string_view what;
    void (*change)(Bytes&);
    std::string_view warning;
    std::string_view in_ini;
  };
  const Row rows[] = {
      {"NULs in the title", [](Bytes& b) { std::copy_n("AB\0\0C", 5, b.begin() + 520); },
       "[window] title holds bytes build does not write", "  520: 41 42 00 00 43"},
      {"leading spaces", [](Bytes& b) { std::copy_n("  AB", 4, b.begin() + 520); },
       "[window] title holds bytes build does not write", "title = AB"},
      {"a reserved byte", [](Bytes& b) { b[600] = 7; },
       "reserved bytes at offsets 593 to 613 are not all zero", "  593: 00 00 00 00 00 00 00 07"},
      {"a short file", [](Bytes& b) { b.resize(100); }, "The file has 100 bytes, not 1716",
       "; The file has 100 bytes, not 1716"},
      {"a long file", [](Bytes& b) { b.push_back(1); }, "reads the first 1716",
       "; The file has 1717 bytes"},
      {"a flag of 2", [](Bytes& b) { b[750] = 2; }, "[dialup] stop_visible holds 2",
       "stop_visible = 2"},
      {"a check state of 7", [](Bytes& b) { b[704] = 7; }, "[dialup] redial_check holds 7",
       "redial_check = 7"},
  };
  for (const Row& row : rows) {
    Bytes file = built(custom_template());
    row.change(file);
    const ShowResult shown = show_custom(file, CodePage::Western);
    EXPECT_TRUE(has(shown.warnings, row.warning)) << row.what << "\n" << joined(shown.warnings);
    EXPECT_NE(shown.ini.find(row.in_ini), std::string::npos) << row.what << "\n" << shown.ini;
  }
}

// A text with a NUL is shown as the window shows it, and that still builds.
TEST(CustomShow, TextWithNulShownAsTheWindowShowsIt) {
  Bytes file = built(custom_template());
  std::copy_n("My\0Net", 6, file.begin() + 1452);
  const ShowResult shown = show_custom(file, CodePage::Western);
  EXPECT_NE(shown.ini.find("\nversion_text = My\n"), std::string::npos);
  EXPECT_TRUE(build_custom(shown.ini, CodePage::Western).image);
}

// Japanese bytes read in the Western code page are warned about, not printed as if they were
// that code page's text.
TEST(CustomShow, WrongLanguageIsWarned) {
  const Bytes file = built("[window]\ntitle = 日本\n", CodePage::Japanese);
  EXPECT_TRUE(show_custom(file, CodePage::Japanese).warnings.empty());
  EXPECT_NE(show_custom(file, CodePage::Japanese).ini.find("title = 日本"), std::string::npos);
  // 0x93FA 0x967B are four Western characters that come back the same: no warning, other text.
  EXPECT_EQ(show_custom(file, CodePage::Western).ini.find("title = 日本"), std::string::npos);
}

// check says what a file does, in words, and what is probably a mistake.
TEST(CustomCheck, SaysWhatTheFileDoes) {
  const Bytes file = built(
      "[window]\naccess_code = 1\ntitle = Korvo Net\n"
      "[dialup]\nuser_name = alice\nuser_name_locked = 1\npassword = secret\n"
      "single_mode_check = 1\n"
      "password_visible = 0\nredial_check = 1\nredial_interval_locked = 1\n"
      "[accelerator]\nframe_visible = 0\n"
      "[option]\nweb_address = http://www.example.jp/\nmail_address = help@example.jp\n"
      "[optimize]\nmtu = 0\n");
  const CheckResult checked = check_custom(file, CodePage::Western);
  const std::string effects = joined(checked.effects), warnings = joined(checked.warnings);
  for (const std::string_view line : {
           "the window title is \"Korvo Net\"\n",
           "an access code is asked at every start",
           "the user name is preset to \"alice\" and locked\n",
           "the password is preset (6 characters)\n",
           "the password box and its label are hidden\n",
           "the Redial box is checked at start\n",
           "the seconds between redials are locked\n",
           "the accelerator frame is hidden\n",
           "the mail link opens mailto:help@example.jp\n",
           "the web link opens http://http://www.example.jp/\n",
           "the Optimize page recommends MTU 0 and receive window 17520",
       }) {
    EXPECT_NE(effects.find(line), std::string::npos) << line << "\n" << effects;
  }
  for (const std::string_view line : {
           "the access code locks the program at every start",
           "[dialup] password_visible is 0, so the control is hidden, yet password is set",
           "[dialup] single_mode_visible is 0, so the control is hidden, yet single_mode_check is",
           "nothing is preset in the seconds between redials, yet it is locked",
           "the web address starts with its scheme",
           "the MTU is 0",
       }) {
    EXPECT_NE(warnings.find(line), std::string::npos) << line << "\n" << warnings;
  }
}

// The template changes nothing, and a short file is ignored by the program.
TEST(CustomCheck, NothingToSay) {
  const CheckResult plain = check_custom(built(custom_template()), CodePage::Western);
  EXPECT_TRUE(plain.effects.empty()) << joined(plain.effects);
  EXPECT_TRUE(plain.warnings.empty()) << joined(plain.warnings);
  const CheckResult short_file = check_custom(Bytes(1715, 1), CodePage::Western);
  EXPECT_TRUE(has(short_file.effects, "the program ignores a file shorter than 1716 bytes"));
}

}  // namespace
}  // namespace nimbra::custom
