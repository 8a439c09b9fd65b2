// SPDX-License-Identifier: MIT
#include "custom_build.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "custom_ini.h"
#include "custom_show.h"

namespace nimbra::custom {
namespace {

using platform::CodePage;
using Image = std::array<uint8_t, CustomRecord::kSize>;

Image build_ok(const std::string& ini, CodePage page = CodePage::Western) {
  const BuildResult result = build_custom(ini, page);
  for (const Refusal& r : result.refusals) ADD_FAILURE() << r.line << ": " << r.reason;
  return result.image.value_or(Image{});
}

std::vector<uint8_t> le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

std::vector<uint8_t> padded(std::string_view text, size_t width) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.resize(width, ' ');
  return bytes;
}

// template -> build -> show -> build gives the same bytes, in both code pages, also for a file
// that changes every field.
TEST(CustomBuild, ShowThenBuildGivesBackTheBytes) {
  const std::string changed =
      "[window]\ntitle = My PHS ; no comment\naccess_code = 1\n"
      "[dialup]\nuser_name = USER\nuser_name_locked = 1\nuser_name_visible = 0\n"
      "password = secret\nredial_check = 2\nsingle_mode_visible = 1\nredial_count = 5\n"
      "[accelerator]\nframe_visible = 0\n[option]\nmail_address = help@example.jp\n"
      "web_address = www.example.jp/a?b=c#d\nversion_text = Ver 1.0 TEXT\n"
      "[optimize]\nmtu = 0\nrwin = -1\n";
  struct Row {
    CodePage page;
    std::string ini;
  };
  const Row rows[] = {
      {CodePage::Western, custom_template()},
      {CodePage::Japanese, custom_template()},
      {CodePage::Western, std::regex_replace(changed, std::regex("USER|TEXT"), "Jos\u00e9 \u20ac")},
      {CodePage::Japanese, std::regex_replace(changed, std::regex("USER|TEXT"), "山田ｱ")},
  };
  for (const Row& row : rows) {
    const Image first = build_ok(row.ini, row.page);
    const ShowResult shown = show_custom(first, row.page);
    EXPECT_TRUE(shown.warnings.empty());
    EXPECT_EQ(build_ok(shown.ini, row.page), first) << shown.ini;
  }
}

// Every field lands at its offset, in its width, little-endian; reserved bytes stay zero.
TEST(CustomBuild, FieldsAtTheirOffsets) {
  struct Row {
    std::string_view section, key, value;
    size_t offset;
    std::vector<uint8_t> bytes;
  };
  const std::vector<Row> rows = {
      {"window", "access_code", "1", 516, le32(1)},
      {"window", "title", "Title", 520, padded("Title", 65)},
      {"dialup", "access_point_label_visible", "0", 589, le32(0)},
      {"dialup", "user_name_locked", "1", 614, le32(1)},
      {"dialup", "user_name_visible", "0", 618, le32(0)},
      {"dialup", "user_name", "user", 622, padded("user", 33)},
      {"dialup", "password_locked", "1", 655, le32(1)},
      {"dialup", "password_visible", "0", 659, le32(0)},
      {"dialup", "password", "pass", 663, padded("pass", 33)},
      {"dialup", "redial_disabled", "1", 696, le32(1)},
      {"dialup", "redial_visible", "0", 700, le32(0)},
      {"dialup", "redial_check", "2", 704, le32(2)},
      {"dialup", "single_mode_disabled", "1", 708, le32(1)},
      {"dialup", "single_mode_visible", "1", 712, le32(1)},
      {"dialup", "single_mode_check", "1", 716, le32(1)},
      {"dialup", "redial_count_locked", "1", 720, le32(1)},
      {"dialup", "redial_count_visible", "0", 724, le32(0)},
      {"dialup", "redial_count", "9", 728, padded("9", 7)},
      {"dialup", "redial_interval_locked", "1", 735, le32(1)},
      {"dialup", "redial_interval_visible", "0", 739, le32(0)},
      {"dialup", "redial_interval", "120", 743, padded("120", 7)},
      {"dialup", "stop_visible", "0", 750, le32(0)},
      {"accelerator", "frame_disabled", "1", 754, le32(1)},
      {"accelerator", "frame_visible", "0", 758, le32(0)},
      {"accelerator", "accelerator1_visible", "0", 766, le32(0)},
      {"accelerator", "accelerator2_visible", "0", 770, le32(0)},
      {"accelerator", "accelerator3_visible", "0", 774, le32(0)},
      {"accelerator", "no_acceleration_visible", "0", 778, le32(0)},
      {"accelerator", "cache_frame_disabled", "1", 782, le32(1)},
      {"accelerator", "cache_frame_visible", "0", 786, le32(0)},
      {"cardinfo", "signal_frame_visible", "0", 790, le32(0)},
      {"cardinfo", "link_frame_visible", "0", 794, le32(0)},
      {"option", "mail_link_visible", "0", 798, le32(0)},
      {"option", "mail_address", "a@b.jp", 802, padded("a@b.jp", 256)},
      {"option", "mail_link_caption", "Mail", 1058, padded("Mail", 65)},
      {"option", "web_link_visible", "0", 1123, le32(0)},
      {"option", "web_address", "b.jp/", 1127, padded("b.jp/", 256)},
      {"option", "web_link_caption", "Web", 1383, padded("Web", 65)},
      {"option", "version_visible", "0", 1448, le32(0)},
      {"option", "version_text", "Ver", 1452, padded("Ver", 256)},
      {"optimize", "rwin", "65535", 1708, {0xFF, 0xFF, 0x00, 0x00}},
      {"optimize", "mtu", "-2", 1712, {0xFE, 0xFF, 0xFF, 0xFF}},
  };
  for (const Row& row : rows) {
    const std::string ini = "[" + std::string(row.section) + "]\n" + std::string(row.key) + " = " +
                            std::string(row.value) + "\n";
    const Image image = build_ok(ini);
    EXPECT_TRUE(std::equal(row.bytes.begin(), row.bytes.end(), image.begin() + row.offset))
        << row.key;
  }
  // The fields above with the reserved bytes cover the whole record exactly once.
  std::vector<int> covered(CustomRecord::kSize, 0);
  for (const Row& row : rows) {
    for (size_t i = 0; i < row.bytes.size(); ++i) ++covered[row.offset + i];
  }
  for (const auto& [offset, width] :
       {std::pair<size_t, size_t>{0, 516}, {585, 4}, {593, 21}, {762, 4}}) {
    for (size_t i = 0; i < width; ++i) ++covered[offset + i];
  }
  EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), CustomRecord::kSize);
  const Image built_in = build_ok(custom_template());
  EXPECT_TRUE(
      std::all_of(built_in.begin(), built_in.begin() + 516, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(std::vector<uint8_t>(built_in.begin() + 1708, built_in.end()),
            (std::vector<uint8_t>{0x70, 0x44, 0, 0, 0xDC, 0x05, 0, 0}));  // 17520, 1500
  EXPECT_EQ(std::vector<uint8_t>(built_in.begin() + 712, built_in.begin() + 720),
            (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0}));  // SingleMode hidden, unchecked
}

// Japanese texts are written in code page 932: two bytes a character, one for half-width kana;
// a field takes as many characters as its bytes allow.
TEST(CustomBuild, JapaneseTextInCodePage932) {
  const Image image = build_ok("[dialup]\nuser_name = 山田ｱ\n", CodePage::Japanese);
  EXPECT_EQ(std::vector<uint8_t>(image.begin() + 622, image.begin() + 628),
            (std::vector<uint8_t>{0x8E, 0x52, 0x93, 0x63, 0xB1, ' '}));
  std::string kanji16;
  for (int i = 0; i < 16; ++i) kanji16 += "山";
  EXPECT_TRUE(build_custom("[dialup]\nuser_name = " + kanji16 + "\n", CodePage::Japanese).image);
  const BuildResult long_name =
      build_custom("[dialup]\nuser_name = " + kanji16 + "山\n", CodePage::Japanese);
  ASSERT_EQ(long_name.refusals.size(), 1u);
  EXPECT_EQ(long_name.refusals[0].reason,
            "user_name: the text takes 34 bytes in code page 932 (Japanese); the field holds 33");
}

// Every refusal names its line and reason, and no file image is made.
TEST(CustomBuild, RefusalsNameTheirLine) {
  struct Row {
    std::string ini;
    CodePage page;
    size_t line;
    std::string reason;
  };
  const Row rows[] = {
      {"[window]\n\ntitle = " + std::string(66, 'x') + "\n", CodePage::Western, 3,
       "title: the text takes 66 bytes in code page 1252 (Western); the field holds 65"},
      {"[dialup]\nuser_name = 山田\n", CodePage::Western, 2,
       "user_name: the character \"山\" (U+5C71) is not in code page 1252 (Western)"},
      {"[window]\ntitle = \xe2\x82\xac\xe2\x98\x83\n", CodePage::Western, 2,
       "title: the character \"\xe2\x98\x83\" (U+2603) is not in code page 1252 (Western)"},
      {"[window]\ntitle = a\x01"
       "b\n",
       CodePage::Western, 2, "title: a control character (U+0001) cannot be written"},
      {"[window]\ntitle = \xff\n", CodePage::Western, 2, "title: the text is not UTF-8"},
      {"[dialup]\nredial_check = 3\n", CodePage::Western, 2,
       "redial_check: a check state is 0 (unchecked), 1 (checked) or 2 (greyed), not 3"},
      {"[dialup]\nsingle_mode_check = -1\n", CodePage::Western, 2,
       "single_mode_check: a check state is 0 (unchecked), 1 (checked) or 2 (greyed), not -1"},
      {"[dialup]\nstop_visible = 2\n", CodePage::Western, 2,
       "stop_visible: a flag is 1 or 0, not 2"},
      {"[dialup]\nstop_visible = yes\n", CodePage::Western, 2,
       "stop_visible: \"yes\" is not a 32-bit whole number"},
      {"[optimize]\nmtu = 4294967296\n", CodePage::Western, 2,
       "mtu: \"4294967296\" is not a 32-bit whole number"},
      {"[optimize]\nmtu =\n", CodePage::Western, 2, "mtu: no value: mtu needs a number"},
      {"[window]\ntitle\n", CodePage::Western, 2, "expected [section] or key = value"},
      {"title = x\n", CodePage::Western, 1, "expected [section] or key = value"},
      {"; c\n[windows]\ntitle = x\n", CodePage::Western, 2, "unknown section [windows]"},
      {"[window]\ntitel = x\n", CodePage::Western, 2, "unknown key \"titel\" in [window]"},
      {"[window]\nmtu = 1\n", CodePage::Western, 2, "unknown key \"mtu\" in [window]"},
      {"[optimize]\nmtu = 1\n\n[OPTIMIZE]\nMTU = 2\n", CodePage::Western, 5,
       "MTU is given twice (first on line 2)"},
  };
  for (const Row& row : rows) {
    const BuildResult result = build_custom(row.ini, row.page);
    EXPECT_FALSE(result.image) << row.reason;
    ASSERT_EQ(result.refusals.size(), 1u) << row.reason;
    EXPECT_EQ(result.refusals[0].line, row.line) << row.reason;
    EXPECT_EQ(result.refusals[0].reason, row.reason);
  }
  // All the refusals of a file are told, in line order.
  const BuildResult several = build_custom(
      "[dialup]\nstop_visible = 5\n[nope]\nx = 1\n[window]\ntitle\n", CodePage::Western);
  ASSERT_EQ(several.refusals.size(), 3u);
  EXPECT_EQ(several.refusals[0].line, 2u);
  EXPECT_EQ(several.refusals[1].line, 3u);
  EXPECT_EQ(several.refusals[2].line, 6u);
}

// A byte-order mark, CRLF line ends, case and blanks around keys do not matter; a key left out
// keeps its built-in value.
TEST(CustomBuild, ForgivingWhereMeaningIsClear) {
  const Image image = build_ok("\xEF\xBB\xBF[Window]\r\n  Title  =   A B  \r\n");
  EXPECT_EQ(std::vector<uint8_t>(image.begin() + 520, image.begin() + 525), padded("A B", 5));
  EXPECT_EQ(image[758], 1);  // frame_visible, not given
}

}  // namespace
}  // namespace nimbra::custom
