#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/sim/scheduler.h"
#include "platform/sim/sim_window.h"
#include "platform/sim/virtual_clock.h"

namespace nimbra::sim {
namespace {

using Lane = Scheduler::Lane;

// A blocking wait runs only device work; window work waits for the program to let events run,
// and then runs in time order with ties in the order scheduled.
TEST(Scheduler, WaitsRunDeviceWorkOnly) {
  Scheduler s;
  std::vector<std::string> log;
  s.after(300, Lane::Window, [&] { log.push_back("window@300"); });
  s.after(100, Lane::Device, [&] { log.push_back("device@100"); });
  s.after(200, Lane::Window, [&] { log.push_back("window@200"); });
  const auto dropped = s.after(150, Lane::Device, [&] { log.push_back("cancelled"); });
  s.after(200, Lane::Window, [&] { log.push_back("window@200b"); });
  s.cancel(dropped);

  s.sleep(1000);
  EXPECT_EQ(s.now_ms(), 1000u);
  EXPECT_EQ(log, std::vector<std::string>{"device@100"});

  s.run_due_window_work();
  EXPECT_EQ(log,
            (std::vector<std::string>{"device@100", "window@200", "window@200b", "window@300"}));
  EXPECT_EQ(s.now_ms(), 1000u) << "running late work does not move time back";
}

// The message loop advances time to each piece of work in turn and stops at its limit.
TEST(Scheduler, MessageLoopAdvancesToEachTask) {
  Scheduler s;
  std::vector<uint64_t> seen;
  s.after(50, Lane::Window, [&] {
    seen.push_back(s.now_ms());
    s.after(0, Lane::Device, [&] { seen.push_back(s.now_ms()); });
  });
  s.after(500, Lane::Device, [&] { seen.push_back(s.now_ms()); });
  s.run_until(400);
  EXPECT_EQ(seen, (std::vector<uint64_t>{50, 50}));
  EXPECT_EQ(s.now_ms(), 400u);
  s.run_until(600);
  EXPECT_EQ(seen, (std::vector<uint64_t>{50, 50, 500}));
}

// Virtual dates carry across midnight, month and year ends.
TEST(VirtualClock, DatesFollowVirtualTime) {
  struct Row {
    platform::LocalDateTime start;
    uint64_t ms;
    platform::LocalDateTime expected;
  };
  const Row rows[] = {
      {{2026, 12, 6, 23, 59, 59}, 1'000, {2026, 12, 7, 0, 0, 0}},
      {{2026, 12, 31, 23, 0, 0}, 3'600'000, {2027, 1, 1, 0, 0, 0}},
      {{2028, 2, 28, 12, 0, 0}, 86'400'000, {2028, 2, 29, 12, 0, 0}},
      {{2026, 12, 6, 10, 0, 0}, 999, {2026, 12, 6, 10, 0, 0}},
  };
  for (const auto& r : rows) EXPECT_EQ(add_ms(r.start, r.ms), r.expected) << r.ms;

  Scheduler s;
  VirtualClock clock(s, {2026, 12, 6, 23, 59, 0});
  clock.sleep(61'000);
  EXPECT_EQ(clock.local_now(), (platform::LocalDateTime{2026, 12, 7, 0, 0, 1}));
  EXPECT_EQ(clock.tick_ms(), 61'000u);
}

struct TestForm : platform::Form {
  TestForm() : platform::Form("TestForm") {}
  platform::Timer Timer1{this, "Timer1"};
};

class RecordingProcedure : public platform::WindowProcedure {
 public:
  intptr_t handle(platform::Hwnd, uint32_t message, uintptr_t wparam, intptr_t) override {
    seen.emplace_back(message, wparam);
    return 0;
  }
  std::vector<std::pair<uint32_t, uintptr_t>> seen;
};

// A timer ticks once per interval of virtual time while enabled, and posted messages reach the
// installed procedure in order, only when events run.
TEST(SimWindow, TimersAndPostedMessagesInVirtualTime) {
  Scheduler s;
  SimWindow window(s);
  TestForm form;
  int ticks = 0;
  form.Timer1.on_tick = [&] { ++ticks; };
  form.Timer1.interval = 100;
  form.Timer1.enabled = true;
  const platform::Hwnd hwnd = window.attach(form);

  s.run_until(1'050);
  EXPECT_EQ(ticks, 10);
  form.Timer1.enabled = false;
  s.run_until(2'000);
  EXPECT_EQ(ticks, 10);

  RecordingProcedure procedure;
  EXPECT_NE(window.SetWindowProcedure(hwnd, &procedure), nullptr) << "the window's own procedure";
  const uint32_t message = window.RegisterWindowMessageA("RasDialEvent");
  EXPECT_EQ(window.RegisterWindowMessageA("RasDialEvent"), message);
  EXPECT_GE(message, 0xC000u);
  window.PostMessageA(hwnd, message, 1, 0);
  window.PostMessageA(hwnd, message, 2, 0);
  s.sleep(500);
  EXPECT_TRUE(procedure.seen.empty()) << "a blocking wait runs no window events";
  window.do_events();
  EXPECT_EQ(procedure.seen,
            (std::vector<std::pair<uint32_t, uintptr_t>>{{message, 1}, {message, 2}}));

  window.detach(form);
  EXPECT_FALSE(window.PostMessageA(hwnd, message, 3, 0));
}

// Message boxes are recorded; scripted answers are used in order, then the first button answers.
TEST(SimWindow, MessageBoxesAnswerAsScripted) {
  Scheduler s;
  SimWindow window(s);
  using platform::MsgBoxButtons;
  using platform::MsgBoxResult;
  window.answer_next_boxes_with(MsgBoxResult::No);
  EXPECT_EQ(window.message_box("a", "t", MsgBoxButtons::YesNo), MsgBoxResult::No);
  EXPECT_EQ(window.message_box("b", "t", MsgBoxButtons::YesNo), MsgBoxResult::Yes);
  EXPECT_EQ(window.message_box("c", "t", MsgBoxButtons::OkCancel), MsgBoxResult::Ok);
  ASSERT_EQ(window.message_boxes().size(), 3u);
  EXPECT_EQ(window.message_boxes()[0].answer, MsgBoxResult::No);
  EXPECT_EQ(window.message_boxes()[2].text, "c");

  EXPECT_THROW(window.end_program(), ProgramEnded);
  EXPECT_TRUE(window.ended());
}

}  // namespace
}  // namespace nimbra::sim
