// SPDX-License-Identifier: MIT
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"
#include "shell/records/settings_record.h"
#include "shell/window_placement.h"

namespace nimbra::shell {
namespace {

using test::TestMachine;
namespace screen = sim::screen;

platform::WindowRect window_rect(test::Program& program) {
  platform::WindowRect rect;
  EXPECT_TRUE(program.process.window().GetWindowRect(program.app->main_window, rect));
  return rect;
}

// Any page switch leaves Apply disabled, also a switch back to page 5 right after an option
// was changed there; the changed check stays, unsaved.
TEST(MainWindow, PageSwitchDisablesApply) {
  for (int target = 1; target <= 5; ++target) {
    TestMachine m;
    auto& program = m.start();
    MainForm& form = program.form();
    form.KorvoTab.user_select(5);
    form.SettingTree.user_check(2, true);
    ASSERT_TRUE(form.CmdApply.enabled);
    if (target == 5)
      form.KorvoTab.user_select(5);
    else
      form.KorvoTab.user_select(target);
    EXPECT_FALSE(form.CmdApply.enabled) << "page " << target;
    EXPECT_GT(form.Frames[target - 1].z_order(), form.Frames[target % 5].z_order());
    EXPECT_TRUE(form.SettingTree.node(2).checked);
    EXPECT_EQ(*program.app->SettingsRecord.tree_flags()[1], 0);
  }
}

// A page switch shows 102 and the connected buttons while the entry is up, 103 and Connect
// while it is down; only the card page swaps Measure and its notice.
TEST(MainWindow, PageSwitchFollowsTheConnection) {
  for (const bool up : {true, false}) {
    TestMachine m(test::with_card(),
                  up ? "[dialup]\nother_connections = KVAUTODL\n" : "[dialup]\n");
    SettingsRecord quiet;  // no option on, so that nothing dials at start
    quiet.UserName = quiet.Password = "qenvora";
    m.write_windows_file("nimbra1.dat", encode_settings(quiet));
    auto& program = m.start();
    MainForm& form = program.form();
    for (const int page : {4, 2}) {
      form.StatusLbl.caption = std::string("stale");
      form.CmdConnect.enabled = up;
      form.CmdDiscnct.enabled = !up;
      form.CmdLimit.enabled = !up;
      form.CmdAnalyze.visible = form.CmdAnalyze.enabled = up;
      form.MsureTxt.visible = !up;
      form.KorvoTab.user_select(page);
      EXPECT_EQ(form.StatusLbl.caption.get(), program.app->catalogue.text(up ? 102 : 103)) << up;
      EXPECT_EQ(form.CmdConnect.enabled.get(), !up) << up;
      EXPECT_EQ(form.CmdDiscnct.enabled.get(), up) << up;
      EXPECT_EQ(form.CmdLimit.enabled.get(), up) << up;
      const bool card_page = page == 4;
      EXPECT_EQ(form.CmdAnalyze.visible.get(), card_page ? !up : up) << up << " page " << page;
      EXPECT_EQ(form.CmdAnalyze.enabled.get(), card_page ? !up : up) << up << " page " << page;
      EXPECT_EQ(form.MsureTxt.visible.get(), card_page ? up : !up) << up << " page " << page;
    }
  }
}

// A window made taller than its start-up height collapses at the first double click to its
// title bar and a 6-pixel strip, and the next one restores the start-up height.
TEST(MainWindow, DoubleClickOnATallerWindow) {
  TestMachine m;
  auto& program = m.start();
  MainForm& form = program.form();
  const platform::WindowRect full = window_rect(program);
  const int collapsed = screen::kMinWindowHeight + 6;
  program.process.window().SetWindowPos(program.app->main_window, full.left, full.top, full.width(),
                                        full.height() + 100);
  form.user_double_click();
  EXPECT_EQ(window_rect(program).height(), collapsed);
  form.user_double_click();
  EXPECT_EQ(window_rect(program).height(), program.app->FullHeight);
}

}  // namespace
}  // namespace nimbra::shell
