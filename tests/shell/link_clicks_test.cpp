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

}  // namespace
}  // namespace nimbra::shell
