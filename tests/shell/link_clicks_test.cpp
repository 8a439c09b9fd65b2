// SPDX-License-Identifier: MIT
#include "shell/link_clicks.h"

#include <gtest/gtest.h>

#include "nimbra_test/test_machine.h"

namespace nimbra::shell {
namespace {

using platform::MsgBoxButtons;
using platform::MsgBoxResult;
using sim::ShellAction;
using test::TestMachine;

// The web link warns (message 101, Yes and No) only while the program's connection is down and
// opens the home page unless answered No; the mail link opens its address without a question.
TEST(LinkClicks, WebLinkWarnsWhileDisconnectedMailLinkNeverAsks) {
  struct Row {
    const char* name;
    bool connected;
    MsgBoxResult answer;
    bool web_opened;
  };
  const Row rows[] = {
      {"disconnected, No", false, MsgBoxResult::No, false},
      {"disconnected, Yes", false, MsgBoxResult::Yes, true},
      {"connected", true, MsgBoxResult::No, true},
  };
  for (const Row& r : rows) {
    TestMachine m(test::with_card(), r.connected ? "[dialup]\nother_connections = KVAUTODL\n" : "");
    auto& program = m.start();
    ASSERT_FALSE(program.ended) << r.name;
    program.process.window().answer_next_boxes_with(r.answer);
    program.form().KorvoLink2.click();
    const auto& boxes = program.boxes();
    ASSERT_EQ(boxes.size(), r.connected ? 0u : 1u) << r.name;
    if (!r.connected) {
      EXPECT_EQ(boxes[0].text, program.app->catalogue.text(101)) << r.name;
      EXPECT_EQ(boxes[0].buttons, MsgBoxButtons::YesNo) << r.name;
    }
    const std::vector<ShellAction> web{{ShellAction::Kind::Open, "http://www.korvo-net.jp/"}};
    EXPECT_EQ(program.process.shell().actions(), r.web_opened ? web : std::vector<ShellAction>{})
        << r.name;

    program.form().KorvoLink1.click();
    EXPECT_EQ(program.boxes().size(), boxes.size()) << r.name;
    EXPECT_EQ(program.process.shell().actions().back(),
              (ShellAction{ShellAction::Kind::Open, "mailto:support@korvo-net.jp"}))
        << r.name;
  }
}

// Without a customisation file the links show the service's captions and tool tips in the
// user-interface language.
TEST(LinkClicks, CaptionsAndToolTipsAtStart) {
  struct Row {
    platform::Language language;
    const char* mail_caption;
    const char* web_caption;
    const char* mail_tip;
    const char* web_tip;
  };
  const Row rows[] = {
      {platform::Language::English, "e-mail to Korvo helpdesk.", "To Korvo homepage",
       "Please send us your opinion and demand about Nimbra.",
       "Korvo detailed information and user's registration are from here."},
      {platform::Language::Japanese, "ユーザーサポート", "Korvoホームページ",
       "ご意見・ご要望をお送りください", "Korvoの詳しい情報やユーザー登録はこちらから"},
  };
  for (const Row& r : rows) {
    TestMachine m(test::with_card(sim::WindowsVersion::XP, r.language));
    auto& program = m.start();
    ASSERT_FALSE(program.ended) << r.mail_caption;
    const MainForm& f = program.form();
    EXPECT_EQ(f.KorvoLink1.caption.get(), r.mail_caption);
    EXPECT_EQ(f.KorvoLink2.caption.get(), r.web_caption);
    EXPECT_EQ(f.KorvoLink1.tool_tip.get(), r.mail_tip);
    EXPECT_EQ(f.KorvoLink2.tool_tip.get(), r.web_tip);
  }
}

}  // namespace
}  // namespace nimbra::shell
