// SPDX-License-Identifier: MIT
// What the card page's lamps read for assistive tools, from their colours, in both languages.
#include "diag/lamp_readings.h"

#include <gtest/gtest.h>

#include <string>

#include "diag/card_info.h"
#include "nimbra_test/test_machine.h"

namespace nimbra::diag {
namespace {

// A column reads its lit lamps "n of 5", a grey one "not available", and a column no
// measurement painted nothing; the free-channel lamps read their count.
TEST(LampReadings, ColumnsAndFreeChannelsInTheUserInterfaceLanguage) {
  struct Row {
    platform::Language language;
    const char* three_lit;
    const char* grey;
    const char* two_free;
  };
  const Row rows[] = {
      {platform::Language::English, "3 of 5", "not available", "2 of 4"},
      {platform::Language::Japanese, "5段階中3", "利用不可", "4チャネル中2"},
  };
  for (const Row& row : rows) {
    test::TestMachine machine(test::with_card(sim::WindowsVersion::XP, row.language));
    shell::AppContext& app = *machine.start().app;
    shell::MainForm& form = app.main_form;
    for (int i = 0; i < 5; ++i) {
      form.Picture1[i].back_color = i < 3 ? lamp_color::kLevelOn : lamp_color::kLevelOff;
      form.Picture1[5 + i].back_color = lamp_color::kUnavailable;
    }
    for (int i = 0; i < 4; ++i) {
      form.Picture2[i].back_color = i < 2 ? lamp_color::kFreeOn : lamp_color::kFreeOff;
    }
    describe_card_lamps(app);
    EXPECT_EQ(form.Picture1[0].accessible_description.get(), row.three_lit);
    EXPECT_EQ(form.Picture1[4].accessible_description.get(), row.three_lit);
    EXPECT_EQ(form.Picture1[7].accessible_description.get(), row.grey);
    EXPECT_EQ(form.Picture1[10].accessible_description.get(), "");  // never painted
    EXPECT_EQ(form.Picture2[3].accessible_description.get(), row.two_free);
  }
}

}  // namespace
}  // namespace nimbra::diag
