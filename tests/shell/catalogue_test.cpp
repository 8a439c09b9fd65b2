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
