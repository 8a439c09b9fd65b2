// SPDX-License-Identifier: MIT
#include "shell/pass_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"

namespace nimbra::shell {
namespace {

using test::TestMachine;

constexpr size_t kStartLock = 516;
constexpr uint64_t kOneHourMs = 3600 * 1000;

// A customisation file holding the start lock and nothing else.
void lock_start(TestMachine& m, uint8_t start_lock) {
  std::vector<uint8_t> image(1716, 0);
  image[kStartLock] = start_lock;
  m.write_windows_file("nimbra1.ssd", image);
}

void enter_code(test::Program& program, const std::string& code) {
  program.app->pass_form.PassTxt.text = code;
  program.handle([&] { program.app->pass_form.PassOK.click(); });
}

// A copy waiting at the code window is the running instance: a second copy, past its own code
// window, hands over to it and ends, and the first opens its main window once its code is right.
TEST(PassForm, WaitingCopyIsTheRunningInstance) {
  TestMachine m;
  lock_start(m, 1);
  auto& first = m.start();
  auto& second = m.start();
  enter_code(second, "qenvora06");
  EXPECT_TRUE(second.ended);
  EXPECT_EQ(m.machine().instances().activated_titles, std::vector<std::string>{"Nimbra ver. 2.44"});
  enter_code(first, "qenvora06");
  EXPECT_FALSE(first.ended);
  EXPECT_TRUE(first.form().visible);
}

// On the 6th with the short date yyyy/MM/dd the code is the word and the zero-padded day;
// blanks around it are accepted, anything else ends the program with message 161.
TEST(PassForm, CodeOfTheDay) {
  struct Row {
    std::string typed;
    bool opens;
  };
  const Row rows[] = {
      {"qenvora06", true},  {"  qenvora06   ", true}, {"qenvora6", false},
      {"Qenvora06", false}, {"qenvora06\t", false},   {"", false},
  };
  for (const Row& r : rows) {
    TestMachine m;
    lock_start(m, 1);
    auto& program = m.start();
    ASSERT_EQ(program.app->main_window, 0u) << "the main window waits for the code";
    enter_code(program, r.typed);
    EXPECT_EQ(program.ended, !r.opens) << "'" << r.typed << "'";
    EXPECT_EQ(program.form().visible.get(), r.opens) << "'" << r.typed << "'";
    if (r.opens) {
      // Boxes after this one belong to the main window's start-up.
      for (const auto& box : program.boxes()) EXPECT_NE(box.text, program.app->catalogue.text(161));
      EXPECT_EQ(program.app->pass_window, 0u);
      continue;
    }
    ASSERT_EQ(program.boxes().size(), 1u);
    EXPECT_EQ(program.boxes()[0].text, program.app->catalogue.text(161));
    EXPECT_FALSE(m.read_windows_file("nimbra1.dat")) << "nothing written";
  }
}

// The code changes at midnight: the window left open past it takes the new day's code only.
TEST(PassForm, CodeChangesAtMidnight) {
  for (const auto& [typed, opens] : {std::pair{"qenvora06", false}, {"qenvora07", true}}) {
    TestMachine m;
    lock_start(m, 1);
    auto& program = m.start();
    m.run_for(program, 14 * kOneHourMs + 1000);  // from 10:00 on the 6th
    EXPECT_EQ(program.process.platform().kernel.local_now().day, 7);
    enter_code(program, typed);
    EXPECT_EQ(program.ended, !opens) << typed;
  }
}

// Cancel ends the program without a message and without the main window; start locks other
// than 1 ask for no code.
TEST(PassForm, CancelAndOtherStartLocks) {
  TestMachine m;
  lock_start(m, 1);
  auto& program = m.start();
  program.handle([&] { program.app->pass_form.PassCancel.click(); });
  EXPECT_TRUE(program.ended);
  EXPECT_TRUE(program.boxes().empty());
  EXPECT_EQ(program.app->main_window, 0u);
  for (const uint8_t lock : {uint8_t{0}, uint8_t{2}}) {
    TestMachine other;
    lock_start(other, lock);
    auto& unlocked = other.start();
    EXPECT_EQ(unlocked.app->pass_window, 0u) << int{lock};
    EXPECT_TRUE(unlocked.form().visible) << int{lock};
  }
}

}  // namespace
}  // namespace nimbra::shell
