// SPDX-License-Identifier: MIT
#include "shell/catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <utility>

#include "shell/catalogue/catalogue_table.h"

namespace nimbra::shell {
namespace {

// The table is sorted for lookup and every number of both ranges has a text in both languages;
// any language other than Japanese reads the English column, unknown numbers give nothing.
TEST(Catalogue, EveryNumberInBothLanguages) {
  int previous = 0;
  for (const auto& e : catalogue_entries()) {
    EXPECT_GT(e.id, previous) << "entries must be sorted for lookup";
    previous = e.id;
  }
  const Catalogue en(Language::English), ja(Language::Japanese);
  for (const auto& [first, last] : {std::pair{101, 167}, std::pair{1001, 1073}}) {
    for (int id = first; id <= last; ++id) {
      EXPECT_FALSE(en.text(id).empty()) << id;
      EXPECT_FALSE(ja.text(id).empty()) << id;
    }
  }
  const Catalogue other(static_cast<Language>(1031));
  EXPECT_EQ(other.text(103), en.text(103));
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
