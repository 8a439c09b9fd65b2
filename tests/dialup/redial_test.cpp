// SPDX-License-Identifier: MIT
#include "dialup/redial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "connecting_scenario.h"
#include "dialup/status_lamp.h"

namespace nimbra::dialup {
namespace {

using scenario::press;
using scenario::status;
using scenario::StatusRecorder;
using scenario::text;
using test::Program;
using test::TestMachine;

using scenario::kServiceAccounts;

Program& start_with_wrong_password(TestMachine& m) {
  auto& p = scenario::start(m, {.password = "wrong-password"});
  p.form().RedialCheck.value = 1;
  return p;
}

size_t error_boxes(Program& p, int32_t code) {
  const std::string head = text(p, 109) + shell::compose_number(code) + "):";
  return static_cast<size_t>(std::count_if(
      p.boxes().begin(), p.boxes().end(), [&](const auto& b) { return b.text.starts_with(head); }));
}

// A refused login shows the RAS error titled with the product name, hangs up, counts five
// seconds down and dials again.
TEST(Redial, AuthenticationFailureRedials) {
  TestMachine m(test::with_card(), kServiceAccounts);
  auto& p = start_with_wrong_password(m);
  press(p, p.form().CmdConnect);
  StatusRecorder recorder(m, p);
  m.run_for(p, 4'000);  // the call fails in authentication; the countdown follows at once
  ASSERT_EQ(p.boxes().size(), 1u);
  EXPECT_EQ(p.boxes()[0].text, "ERROR (Code- 691):" + scenario::session(p).ErrMsg(691));
  EXPECT_EQ(p.boxes()[0].title, "Nimbra");
  m.run_for(p, 12'000);

  const auto texts = recorder.texts();
  const auto first =
      std::find(texts.begin(), texts.end(), "Redialing ( 1/ 10) will started after  5seconds");
  ASSERT_NE(first, texts.end());
  const auto start = static_cast<size_t>(first - texts.begin());
  ASSERT_GT(texts.size(), start + 5);
  for (size_t i = 1; i <= 4; ++i) {
    EXPECT_EQ(texts[start + i], countdown_text(p.app->catalogue, 1, 10, int64_t(5 - i)));
    EXPECT_EQ(recorder.changes()[start + i].at - recorder.changes()[start].at, i * 1000);
  }
  EXPECT_EQ(texts[start + 5], text(p, 134));
  EXPECT_EQ(error_boxes(p, 691), 2u) << "the redial failed the same way";
  EXPECT_EQ(p.app->RedialCount, 2) << "and its countdown has run too";
}

// With the redial box unchecked a failed call is not redialled nor counted: no countdown, and
// Connect, Close and Apply come back while Stop stays dark.
TEST(Redial, NotArmedDoesNothing) {
  TestMachine m(test::with_card(), kServiceAccounts);
  auto& p = start_with_wrong_password(m);
  p.form().RedialCheck.value = 0;
  press(p, p.form().CmdConnect);
  StatusRecorder recorder(m, p);
  m.run_for(p, 30'000);
  EXPECT_EQ(error_boxes(p, 691), 1u);
  EXPECT_EQ(p.app->RedialCount, 0);
  for (const auto& t : recorder.texts()) EXPECT_FALSE(t.starts_with("Redialing")) << t;
  EXPECT_EQ(status(p), text(p, 145));
  EXPECT_TRUE(p.form().CmdConnect.enabled && p.form().CmdCancel.enabled &&
              p.form().CmdApply.enabled);
  EXPECT_FALSE(p.form().CmdStop.enabled);
}

// Stop during the countdown shows "Disconnected." at once, dials nothing and frees Close.
TEST(Redial, StopEndsTheCountdown) {
  TestMachine m(test::with_card(), kServiceAccounts);
  auto& p = start_with_wrong_password(m);
  press(p, p.form().CmdConnect);
  StatusRecorder recorder(m, p);
  // The call fails after about three seconds and hangs up for one; the countdown then runs.
  uint64_t clicked_at = 0;
  m.machine().scheduler().after(5'500, sim::Scheduler::Lane::Window, [&] {
    clicked_at = scenario::now(m);
    press(p, p.form().CmdStop);
  });
  m.run_for(p, 20'000);
  const auto& changes = recorder.changes();
  ASSERT_GE(changes.size(), 2u);
  EXPECT_TRUE(changes[changes.size() - 2].text.starts_with("Redialing ( 1/ 10)"));
  EXPECT_EQ(changes.back().text, text(p, 145));
  EXPECT_LE(changes.back().at - clicked_at, 10u) << "shown at once";
  EXPECT_EQ(error_boxes(p, 691), 1u) << "no second dial";
  EXPECT_EQ(m.machine().dialup().calls_in_progress(), 0u);
  EXPECT_FALSE(p.app->RedialArmed);
  EXPECT_TRUE(p.form().CmdCancel.enabled && p.form().CmdConnect.enabled);
  EXPECT_FALSE(p.form().CmdStop.enabled);
}

// One run redials ten times at most; after that a failure only counts, even when a call
// connected in between.
TEST(Redial, TenRedialsPerRun) {
  TestMachine m(test::with_card(), kServiceAccounts);
  auto& p = start_with_wrong_password(m);
  press(p, p.form().CmdConnect);
  m.run_for(p, 200'000);
  EXPECT_EQ(error_boxes(p, 691), 11u) << "the first call and ten redials";
  EXPECT_EQ(p.app->RedialCount, 11);

  p.form().PassTxt.text = std::string("qenvora");
  press(p, p.form().CmdConnect);
  m.run_for(p, 10'000);
  ASSERT_EQ(status(p), text(p, 146));
  press(p, p.form().CmdDiscnct);

  p.form().PassTxt.text = std::string("wrong-password");
  press(p, p.form().CmdConnect);
  m.run_for(p, 60'000);
  EXPECT_EQ(error_boxes(p, 691), 12u) << "no redial after the tenth";
  EXPECT_EQ(p.app->RedialCount, 12);
  EXPECT_TRUE(p.form().CmdConnect.enabled);
}

// No trials: an error never redials but still counts. No wait: the redial dials at once.
TEST(Redial, ZeroTrialsAndZeroWait) {
  struct Row {
    const char *trials, *wait;
    size_t calls;
  };
  for (const Row& r : {Row{"0", "5", 1}, Row{"1", "-3", 2}}) {
    SCOPED_TRACE(r.trials);
    TestMachine m(test::with_card(), kServiceAccounts);
    auto& p = start_with_wrong_password(m);
    p.form().AutoDialTxt[0].text = std::string(r.trials);
    p.form().AutoDialTxt[1].text = std::string(r.wait);
    press(p, p.form().CmdConnect);
    StatusRecorder recorder(m, p);
    m.run_for(p, 30'000);
    EXPECT_EQ(error_boxes(p, 691), r.calls);
    EXPECT_EQ(p.app->RedialCount, static_cast<int32_t>(r.calls));
    for (const auto& t : recorder.texts()) EXPECT_FALSE(t.starts_with("Redialing")) << t;
  }
}

// The boxes' texts become the session's numbers: leading number only, negatives shown as "0",
// halves to even, and numbers beyond 32 bits held at the ends of the range.
TEST(Redial, BoxesSetTrialsAndWait) {
  struct Row {
    std::string typed;
    std::string shown;
    int32_t value;
  };
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const Row rows[] = {
      {" 12 trials", " 12 trials", 12},     {"3.5", "3.5", 4}, {"-5", "0", 0}, {"-0.4", "0", 0},
      {"99999999999", "99999999999", kMax},
  };
  TestMachine m;
  auto& p = scenario::start(m);
  VBRas32& s = scenario::session(p);
  for (const Row& r : rows) {
    for (int index : {0, 1}) {
      p.form().AutoDialTxt[index].text = std::string("placeholder");
      p.form().AutoDialTxt[index].text = r.typed;
      EXPECT_EQ(p.form().AutoDialTxt[index].text.get(), r.shown) << index << ": " << r.typed;
      EXPECT_EQ(index == 0 ? s.m_AutoDial : s.m_AutoDialWait, r.value) << index << ": " << r.typed;
    }
  }
}

// A connection of the entry made by another dialler turns the lamp green within one tick and
// disables the measurement; when it goes, the lamp turns black again; measuring, magenta.
TEST(Redial, LampFollowsConnectionsMadeElsewhere) {
  TestMachine m;
  auto& p = scenario::start(m);
  m.run_for(p, 200);
  EXPECT_EQ(p.form().StatusLump.back_color.get(), lamp::kBlack);
  EXPECT_TRUE(p.form().CmdAnalyze.enabled);
  EXPECT_FALSE(p.form().CmdStop.enabled);

  platform::DialParams params;
  params.entry_name = "KVAUTODL";
  platform::HRASCONN handle = 0;
  ASSERT_EQ(m.machine().dialup().dial(params, {}, nullptr, handle), 0u);
  m.run_for(p, 100);
  EXPECT_EQ(p.form().StatusLump.back_color.get(), lamp::kGreen);
  EXPECT_FALSE(p.form().CmdAnalyze.enabled);
  EXPECT_EQ(p.app->ConnState, 1);

  m.machine().dialup().hang_up(handle);
  m.run_for(p, 100);
  EXPECT_EQ(p.form().StatusLump.back_color.get(), lamp::kBlack);
  EXPECT_EQ(p.app->ConnState, 0);

  // While measuring, a tick paints the lamp magenta and leaves the measure button usable.
  p.app->ConnState = 3;
  p.form().CmdAnalyze.enabled = false;
  m.run_for(p, 100);
  EXPECT_EQ(p.form().StatusLump.back_color.get(), lamp::kMagenta);
  EXPECT_TRUE(p.form().CmdAnalyze.enabled);
}

}  // namespace
}  // namespace nimbra::dialup
