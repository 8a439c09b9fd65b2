#include "shell/catalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "shell/catalogue_table.h"

namespace nimbra::shell {
namespace {

// Every number of both ranges exists exactly once, in order, with a text in both languages.
TEST(Catalogue, HasAllNumbersInBothLanguages) {
  std::set<int> expected;
  for (int id = 101; id <= 167; ++id) expected.insert(id);
  for (int id = 1001; id <= 1073; ++id) expected.insert(id);

  std::set<int> seen;
  int previous = 0;
  for (const auto& e : catalogue_entries()) {
    EXPECT_GT(e.id, previous) << "entries must be sorted for lookup";
    previous = e.id;
    seen.insert(e.id);
  }
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(seen.size(), 140u);

  const Catalogue en(Language::English), ja(Language::Japanese);
  for (int id : expected) {
    EXPECT_FALSE(en.text(id).empty()) << id;
    EXPECT_FALSE(ja.text(id).empty()) << id;
  }
}

// Texts come out exactly as written, line breaks and half-width katakana included.
TEST(Catalogue, ExactTexts) {
  const Catalogue en(Language::English), ja(Language::Japanese);
  struct Row {
    const Catalogue& cat;
    int id;
    std::string_view text;
  };
  const Row rows[] = {
      {en, 102, "Connected."},
      {ja, 102, "接続中です"},
      {en, 1001, "Nimbra ver. 2.44"},
      {ja, 1001, "Nimbra Ver. 2.44"},
      {en, 1014, "Quit"},
      {ja, 1014, "切断"},
      {ja, 1003, "ｱｸｾﾗﾚｰﾀｰ"},
      {en, 106, ") will started after "},
      {ja, 109, "エラー（Code"},
      {en, 166,
       "WARNING-403 : Two or more supported modem exists. Please delete other modems exept to "
       "use."},
      {en, 1025,
       "* Restart to execute parameter changes.\r\n* PC will restart automatically when \"Apply\" "
       "button is pressed.\r\n* Only effective for Windows 98/SE/ME.\r\n* For Windows XP & 2000, "
       "parameters are automatically optimized. No need to reset."},
      {ja, 1025,
       "※コンピュータの再起動後に有効になります。\r\n※変更後に「適用」ボタンをクリックすると再起"
       "動します。\r\n※Windows9.ｘでのみ有効です。\r\n※Windows2000/XPでは自動で最適値が設定されま"
       "す。"},
      {en, 1036, "Nimbra ver. 2.44\r\n(C) Veltrano Inc."},
  };
  for (const auto& r : rows) EXPECT_EQ(r.cat.text(r.id), r.text) << r.id;
}

// Any language other than Japanese reads the English column; unknown numbers give nothing.
TEST(Catalogue, LanguageChoiceAndUnknownNumbers) {
  const Catalogue other(static_cast<Language>(1031));
  EXPECT_EQ(other.language(), Language::English);
  EXPECT_EQ(other.text(103), "No connection.");
  EXPECT_TRUE(other.text(100).empty());
  EXPECT_TRUE(other.text(1074).empty());
}

// Numbers in composed texts: a blank stands for the plus sign; the RAS failure text reads
// "ERROR (Code- 633) : Unable to establish ...".
TEST(Catalogue, NumberComposition) {
  EXPECT_EQ(compose_number(633), " 633");
  EXPECT_EQ(compose_number(0), " 0");
  EXPECT_EQ(compose_number(-5), "-5");
  const Catalogue en(Language::English);
  const std::string box = en.str(109) + compose_number(633) + en.str(105);
  EXPECT_TRUE(box.starts_with("ERROR (Code- 633) : Unable to establish dial-up connection."));
}

}  // namespace
}  // namespace nimbra::shell
