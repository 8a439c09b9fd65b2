// SPDX-License-Identifier: MIT
#include "shell/custom_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"

namespace nimbra::shell {
namespace {

using test::TestMachine;
using Bytes = std::vector<uint8_t>;

// Offsets of the visibility flags, which a file holds as 1 for a control to stay visible.
constexpr size_t kVisibleFlags[] = {589, 618, 659, 700, 712, 724, 739, 750,  758, 766,
                                    770, 774, 778, 786, 790, 794, 798, 1123, 1448};
// Text fields: offset and width.
constexpr std::pair<size_t, size_t> kTexts[] = {{520, 65},  {622, 33},  {663, 33},  {728, 7},
                                                {743, 7},   {802, 256}, {1058, 65}, {1127, 256},
                                                {1383, 65}, {1452, 256}};

// A file that changes nothing visible: every control visible, every text blank.
Bytes neutral_file() {
  Bytes image(1716, 0);
  for (const size_t offset : kVisibleFlags) image[offset] = 1;
  for (const auto& [offset, width] : kTexts) std::fill_n(image.begin() + offset, width, ' ');
  return image;
}

void put_i32(Bytes& image, size_t offset, int32_t v) {
  for (size_t i = 0; i < 4; ++i)
    image[offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

void put_text(Bytes& image, size_t offset, std::string_view text) {
  std::copy(text.begin(), text.end(), image.begin() + offset);
}

// The title replaces the built-in one only from two characters on; spaces are trimmed but NULs
// count, and the window shows the text up to its first NUL.
TEST(CustomFile, TitleRules) {
  struct Row {
    Bytes field;  // written at the start of the 65-byte title field, the rest spaces
    std::string title;
  };
  const Row rows[] = {
      {{' ', 'A', ' '}, "Nimbra ver. 2.44"},
      {{'A', 'B'}, "AB"},
      {{' ', ' ', 'M', 'y', ' ', 'N', 'e', 't'}, "My Net"},
      {Bytes(65, 0), ""},
      {{'X', 0, 'Y'}, "X"},
  };
  for (const Row& r : rows) {
    Bytes image = neutral_file();
    std::copy(r.field.begin(), r.field.end(), image.begin() + 520);
    TestMachine m;
    m.write_windows_file("nimbra1.ssd", image);
    auto& program = m.start();
    EXPECT_TRUE(program.app->CustomPresent);
    EXPECT_EQ(program.form().caption.get(), r.title) << r.title;
  }
}

// Characters, not bytes, decide: one Japanese character is too short for the title, two are
// enough; a one-character redial count is taken.
TEST(CustomFile, LengthCountsCharacters) {
  Bytes image = neutral_file();
  put_text(image, 520, "\x96\x6B");           // one character in CP932
  put_text(image, 1058, "\x96\x6B\x96\x6B");  // two
  put_text(image, 728, "5");
  TestMachine m(test::with_card(sim::WindowsVersion::XP, platform::Language::Japanese));
  m.write_windows_file("nimbra1.ssd", image);
  auto& program = m.start();
  EXPECT_EQ(program.form().caption.get(), program.app->catalogue.text(1001));
  EXPECT_EQ(program.form().KorvoLink1.caption.get(), "北北");
  EXPECT_EQ(program.form().AutoDialTxt[0].text.get(), "5");
}

// Presets, link targets, locks and hidden controls; flags hold 1 for their effect and anything
// else for its opposite.
TEST(CustomFile, PresetsLinksAndFlags) {
  Bytes image = neutral_file();
  put_text(image, 622, "kv-user");
  put_text(image, 663, "kv-pass");
  put_text(image, 802, "help@example.jp");
  put_text(image, 1127, "www.example.jp/");
  put_text(image, 1452, "Custom 1.0");
  put_i32(image, 614, 1);   // user name locked
  put_i32(image, 618, 0);   // user name hidden
  put_i32(image, 696, 1);   // redial disabled
  put_i32(image, 754, 2);   // not 1: the accelerator frame stays enabled
  put_i32(image, 766, 2);   // not 1: accelerator 1 hidden
  put_i32(image, 1448, 0);  // version text hidden
  TestMachine m;
  m.write_windows_file("nimbra1.ssd", image);
  auto& form = m.start().form();
  EXPECT_EQ(form.UserTxt.text.get(), "kv-user");
  EXPECT_EQ(form.PassTxt.text.get(), "kv-pass");
  EXPECT_EQ(form.KorvoLink1.URL.get(), "mailto:help@example.jp");
  EXPECT_EQ(form.KorvoLink2.URL.get(), "http://www.example.jp/");
  EXPECT_EQ(form.VersionTxt.text.get(), "Custom 1.0");
  EXPECT_TRUE(form.UserTxt.locked);
  EXPECT_FALSE(form.UserTxt.visible);
  EXPECT_FALSE(form.UserLab.visible);
  EXPECT_TRUE(form.PassTxt.visible);
  EXPECT_FALSE(form.RedialCheck.enabled);
  EXPECT_TRUE(form.WebAccel.enabled);
  EXPECT_FALSE(form.AccOption[3].visible);
  EXPECT_TRUE(form.AccOption[1].visible);
  EXPECT_FALSE(form.VersionTxt.visible);
  EXPECT_TRUE(form.SingleChk.visible) << "shown by the file although hidden by default";
}

// The check-state fields set 0, 1 or 2 directly; other values leave the control as it was.
TEST(CustomFile, CheckStates) {
  struct Row {
    int32_t redial, single;
    int redial_shown, single_shown;
  };
  const Row rows[] = {{2, 1, 2, 1}, {0, 2, 0, 2}, {7, -1, 0, 0}, {1, 3, 1, 0}};
  for (const Row& r : rows) {
    Bytes image = neutral_file();
    put_i32(image, 704, r.redial);
    put_i32(image, 716, r.single);
    TestMachine m;
    m.write_windows_file("nimbra1.ssd", image);
    auto& form = m.start().form();
    EXPECT_EQ(form.RedialCheck.value.get(), r.redial_shown) << r.redial;
    EXPECT_EQ(form.SingleChk.value.get(), r.single_shown) << r.single;
  }
}

// MTU and receive window come from the file as they are, 0 included; a file shorter than the
// record counts as none (1500, 17520, default title); bytes past the record are ignored.
TEST(CustomFile, TcpipValuesAndFileLength) {
  struct Row {
    size_t length;
    int32_t mtu, rwin;
    bool present;
    int32_t expected_mtu, expected_rwin;
  };
  const Row rows[] = {
      {1716, 0, 0, true, 0, 0},           {1716, 1400, 32000, true, 1400, 32000},
      {1800, 576, 8760, true, 576, 8760}, {1715, 576, 8760, false, 1500, 17520},
      {0, 0, 0, false, 1500, 17520},
  };
  for (const Row& r : rows) {
    Bytes image = neutral_file();
    put_i32(image, 1708, r.rwin);
    put_i32(image, 1712, r.mtu);
    put_text(image, 520, "Distributor");
    image.resize(r.length, 0xEE);
    TestMachine m;
    m.write_windows_file("nimbra1.ssd", image);
    auto& program = m.start();
    EXPECT_EQ(program.app->CustomPresent, r.present) << r.length;
    EXPECT_EQ(program.app->MtuValue, r.expected_mtu) << r.length;
    EXPECT_EQ(program.app->RwinValue, r.expected_rwin) << r.length;
    EXPECT_EQ(program.form().caption.get(), r.present ? "Distributor" : "Nimbra ver. 2.44");
  }
}

}  // namespace
}  // namespace nimbra::shell
