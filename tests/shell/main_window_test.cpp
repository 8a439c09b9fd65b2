#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"
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

// Every caption, in English and Japanese, comes from its own message.
TEST(MainWindow, CaptionsInBothLanguages) {
  struct Row {
    const char* control;
    int index;
    int message;
  };
  const Row rows[] = {
      {"AccPtLab", -1, 1007},      {"UserLab", -1, 1008},        {"PassLbl", -1, 1009},
      {"FrameStatus", -1, 1010},   {"RedialCheck", -1, 1011},    {"CmdStop", -1, 1012},
      {"CmdConnect", -1, 1013},    {"CmdDiscnct", -1, 1014},     {"CmdCancel", -1, 1015},
      {"CmdApply", -1, 1016},      {"WebAccel", -1, 1017},       {"AccOption", 3, 1018},
      {"AccOption", 1, 1019},      {"AccOption", 0, 1020},       {"AccOption", 2, 1021},
      {"InternetCache", -1, 1022}, {"CheckCash", -1, 1023},      {"MtuRwinLab", -1, 1024},
      {"TcpipOption", 0, 1026},    {"TcpipOption", 2, 1027},     {"TcpipOption", 1, 1028},
      {"MsureTxt", -1, 1029},      {"LabPHSNo", -1, 1030},       {"LabVersion", -1, 1031},
      {"WaveFrame", -1, 1032},     {"CmdAnalyze", -1, 1033},     {"KorvoLink1", -1, 1034},
      {"KorvoLink2", -1, 1035},    {"ReconnectCheck", -1, 1037}, {"AutoDialLAb", 0, 1038},
      {"AutoDialLAb", 1, 1039},    {"FrameMode", -1, 1040},      {"AccMode", 0, 1041},
      {"AccMode", 1, 1042},        {"LnkFrm", -1, 1043},         {"SingleChk", -1, 1044},
      {"SetTreeLbl", -1, 1006},    {"ServiceOption", 0, 1054},   {"ServiceOption", 1, 1055},
      {"ModemLbl", -1, 1056},      {"ModemLab", -1, 1056},       {"CmdRenew", -1, 1057},
      {"CmdLimit", -1, 1059},
  };
  for (const auto language : {platform::Language::English, platform::Language::Japanese}) {
    TestMachine m(test::with_card(sim::WindowsVersion::XP, language));
    auto& program = m.start();
    const Catalogue& cat = program.app->catalogue;
    MainForm& form = program.form();
    for (const Row& r : rows) {
      const Control* control = form.find(r.control, r.index);
      ASSERT_NE(control, nullptr) << r.control;
      EXPECT_EQ(control->caption.get(), cat.text(r.message)) << r.control << " " << r.index;
    }
    EXPECT_EQ(form.MtuRwinTxt.text.get(), cat.text(1025));
    EXPECT_EQ(form.VersionTxt.text.get(), cat.text(1036));
    EXPECT_EQ(form.AccTxt.text.get(), cat.text(1045));
    EXPECT_EQ(form.NoaccTxt.text.get(), cat.text(164));
    EXPECT_EQ(form.KorvoLink1.tool_tip.get(), cat.text(157));
    EXPECT_EQ(form.KorvoLink2.tool_tip.get(), cat.text(158));
    EXPECT_EQ(form.ServiceOption[2].caption.get(), "QTIMEシリーズ") << "keeps its own caption";
    EXPECT_EQ(form.caption.get(), cat.text(1001));
  }
  TestMachine en;
  EXPECT_EQ(en.start().form().CmdApply.caption.get(), "Apply");
  TestMachine ja(test::with_card(sim::WindowsVersion::XP, platform::Language::Japanese));
  EXPECT_EQ(ja.start().form().CmdApply.caption.get(), "適用");
}

// Any page switch leaves Apply disabled, also a switch back to page 5 right after an option
// was changed there.
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
  }
}

// The card page offers the measurement while no connection is up, and a notice instead while
// one is.
TEST(MainWindow, CardPageFollowsTheConnection) {
  TestMachine m;
  auto& program = m.start();
  MainForm& form = program.form();
  form.KorvoTab.user_select(4);
  EXPECT_TRUE(form.CmdAnalyze.visible);
  EXPECT_TRUE(form.CmdAnalyze.enabled);
  EXPECT_FALSE(form.MsureTxt.visible);

  show_selected_page(*program.app, true);
  EXPECT_FALSE(form.CmdAnalyze.visible);
  EXPECT_FALSE(form.CmdAnalyze.enabled);
  EXPECT_TRUE(form.MsureTxt.visible);

  // Other pages leave the card page's controls alone.
  form.KorvoTab.user_select(2);
  show_selected_page(*program.app, false);
  EXPECT_FALSE(form.CmdAnalyze.visible);
  form.KorvoTab.user_select(4);
  EXPECT_TRUE(form.CmdAnalyze.visible);
  EXPECT_FALSE(form.MsureTxt.visible);
}

// Start-up sizes the window around CmdApply (title bar included) and puts it at the top right
// corner of the desktop; FullHeight is its height.
TEST(MainWindow, StartupPlacement) {
  TestMachine m;
  auto& program = m.start();
  const MainForm& form = program.form();
  const Button& apply = form.CmdApply;
  const int content_height = (apply.top + apply.height + 60) / screen::kTwipsPerPixel;
  const int content_width = (apply.left + apply.width + 180) / screen::kTwipsPerPixel;

  const platform::WindowRect rect = window_rect(program);
  EXPECT_EQ(rect,
            (platform::WindowRect{screen::kDesktopWidth - content_width, 0, screen::kDesktopWidth,
                                  screen::kMinWindowHeight + content_height}));
  EXPECT_EQ(program.app->FullHeight, rect.bottom);
  EXPECT_EQ(form.width.get(), rect.width() * screen::kTwipsPerPixel);
  EXPECT_EQ(form.left.get(), rect.left * screen::kTwipsPerPixel);
  EXPECT_TRUE(form.visible);
}

// Double clicks collapse the window to its title bar and a 6-pixel strip and back to the
// start-up height; a window made taller than that collapses at the first double click.
TEST(MainWindow, DoubleClickCollapsesAndExpands) {
  TestMachine m;
  auto& program = m.start();
  MainForm& form = program.form();
  const platform::WindowRect full = window_rect(program);
  const int collapsed = screen::kMinWindowHeight + 6;

  form.user_double_click();
  EXPECT_EQ(window_rect(program),
            (platform::WindowRect{full.left, full.top, full.right, full.top + collapsed}));
  form.user_double_click();
  EXPECT_EQ(window_rect(program), full);

  auto& window = program.process.window();
  window.SetWindowPos(program.app->main_window, full.left, full.top, full.width(),
                      full.height() + 100);
  form.user_double_click();
  EXPECT_EQ(window_rect(program).height(), collapsed);
  form.user_double_click();
  EXPECT_EQ(window_rect(program).height(), program.app->FullHeight);
}

}  // namespace
}  // namespace nimbra::shell
