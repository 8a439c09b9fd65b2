// SPDX-License-Identifier: MIT
#include "shell/option_tree.h"

#include <gtest/gtest.h>

#include <vector>

#include "nimbra_test/test_machine.h"

namespace nimbra::shell {
namespace {

using test::TestMachine;

std::vector<bool> checks(MainForm& form) {
  std::vector<bool> v;
  for (int i = 1; i <= 6; ++i) v.push_back(form.SettingTree.node(i).checked);
  return v;
}

std::vector<int16_t> saved_flags(AppContext& app) {
  std::vector<int16_t> v;
  for (const int16_t* flag : app.SettingsRecord.tree_flags()) v.push_back(*flag);
  return v;
}

// Without a settings file the checks take the no-file defaults while the saved flags keep the
// build-time checks, and both login fields show the default login.
TEST(OptionTree, NoFileDefaults) {
  TestMachine m;
  auto& program = m.start();
  EXPECT_EQ(checks(program.form()), (std::vector<bool>{true, false, true, true, true, false}));
  EXPECT_EQ(saved_flags(*program.app), (std::vector<int16_t>{-1, 0, -1, 0, -1, 0}));
  EXPECT_EQ(program.form().UserTxt.text.get(), "qenvora");
  EXPECT_EQ(program.form().PassTxt.text.get(), "qenvora");
}

// Apply lights up only when a check differs from its saved flag, stays lit when the check is
// changed back, and Apply on page 5 saves the checks and goes dark again.
TEST(OptionTree, LiveChecksAgainstSavedFlags) {
  TestMachine m;
  auto& program = m.start();
  auto& form = program.form();
  form.KorvoTab.user_select(5);
  ASSERT_FALSE(form.CmdApply.enabled);

  form.SettingTree.user_check(4, false);  // checked by the no-file default, saved false
  EXPECT_FALSE(form.CmdApply.enabled) << "now equal to the saved flag";
  form.SettingTree.user_check(2, true);
  EXPECT_TRUE(form.CmdApply.enabled);
  form.SettingTree.user_check(2, false);
  EXPECT_TRUE(form.CmdApply.enabled) << "an enabled Apply stays enabled";

  form.SettingTree.user_check(6, true);
  program.handle([&] { form.CmdApply.click(); });
  EXPECT_FALSE(form.CmdApply.enabled);
  EXPECT_EQ(saved_flags(*program.app), (std::vector<int16_t>{-1, 0, -1, 0, -1, -1}));
  const auto file = m.read_windows_file("nimbra1.dat");
  ASSERT_TRUE(file);
  EXPECT_EQ(std::vector<uint8_t>(file->begin() + 783, file->begin() + 795),
            (std::vector<uint8_t>{0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace nimbra::shell
