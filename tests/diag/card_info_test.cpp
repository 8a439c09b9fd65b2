// SPDX-License-Identifier: MIT
// The CardInfo measurement on simulated machines, in virtual time: what each card is asked,
// what the page shows afterwards, and how long it takes.
#include "diag/card_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"
#include "shell/records/settings_record.h"

namespace nimbra::diag {
namespace {

using test::Program;
using test::TestMachine;
using Commands = std::vector<std::string>;
namespace color = lamp_color;

constexpr size_t kCustomSize = 1716;
constexpr size_t kSignalFrameFlag = 790;
constexpr size_t kLinkFrameFlag = 794;
const Commands kIdentify{"ATI5", "ATI6", "ATI4"};

struct Bench {
  explicit Bench(std::string_view device, std::string_view card_ini = "",
                 bool measure_on_start = false, std::string_view extra_ini = "")
      : machine(
            {sim::WindowsVersion::XP, platform::Language::English, {{std::string(device), 3, ""}}},
            std::string("\n[card]\nlevels = 5,2,4\nfree_channels = 3\n") + std::string(card_ini) +
                std::string(extra_ini)) {
    shell::SettingsRecord settings;
    settings.UserName = settings.Password = "qenvora";
    if (measure_on_start) settings.OptMeasureOnStart = shell::kFlagTrue;
    machine.write_windows_file("nimbra1.dat", shell::encode_settings(settings));
  }
  Program& start() {
    program = &machine.start();
    return *program;
  }
  // Clicks Measure and returns the virtual milliseconds it took.
  uint64_t measure() {
    const uint64_t start_ms = now();
    program->handle([this] { program->form().CmdAnalyze.click(); });
    return now() - start_ms;
  }
  uint64_t now() { return machine.machine().scheduler().now_ms(); }
  Commands commands() { return machine.machine().card()->model().commands(); }
  shell::MainForm& form() { return program->form(); }

  TestMachine machine;
  Program* program = nullptr;
};

// Per column the green lamps from the bottom ("x": every lamp of the column light grey), then
// after a blank the yellow free-channel lamps ("-": hidden); "?" for any other painting.
std::string lamps(const shell::MainForm& form) {
  const auto lit = [](const auto& array, int first, int count, platform::Color on,
                      platform::Color off, platform::Color all) {
    int n = 0;
    while (n < count && array[first + n].back_color == on) ++n;
    int grey = 0;
    while (n == 0 && grey < count && array[first + grey].back_color == all) ++grey;
    if (grey == count) return 'x';
    for (int i = n; i < count; ++i) {
      if (array[first + i].back_color != off) return '?';
    }
    return static_cast<char>('0' + n);
  };
  std::string out;
  for (int column = 0; column < 13; ++column) {
    out +=
        lit(form.Picture1, column * 5, 5, color::kLevelOn, color::kLevelOff, color::kUnavailable);
  }
  out += ' ';
  out +=
      form.Picture2[0].visible ? lit(form.Picture2, 0, 4, color::kFreeOn, color::kFreeOff, 0) : '-';
  return out;
}

Commands times(int n, std::initializer_list<std::string> commands) {
  Commands all;
  for (int i = 0; i < n; ++i) all.insert(all.end(), commands);
  return all;
}
Commands operator+(Commands a, const Commands& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Row {
  std::string_view device;
  std::string_view card_ini;
  Commands commands;
  uint64_t ms;
  std::string_view lamps;
  bool link_frame_only = false;    // a customisation file with only the link frame shown
  bool signal_frame_only = false;  // ... with only the signal frame shown
};

// Every model is asked its own commands, in their letter case, and takes the card's waits, every
// attempt used when answers fail (identification 14.3 s, AT@@LVL 25 s, at@@lvl 32.5 s, AT@@LNK
// 15 s, a silent PX-301 five rounds); the page shows the boxes and lamps, the port closed. With
// the echo off, a guarded echo removal keeps the answer whole while an unguarded one cuts its
// start away (a count of 24, read as 15 channels of no signal, and no free channel).
TEST(CardInfo, EachModelMeasuresInItsOwnWay) {
  constexpr std::string_view kLvl = "5240000000000 3";
  constexpr std::string_view kPx = "530xxxxxxxxxx -";
  const Commands px_round{"AT@K", "ATE0", "ATZ"};
  const Commands px_silent = px_round + times(kPx301Attempts - 1, {"ATE1", "AT@K", "ATE0", "ATZ"});
  const Row rows[] = {
      {"KVT30-J", "", kIdentify + Commands{"AT@@LVL", "AT@@LNK"}, 3300 + 5000 + 3000, kLvl},
      {"KVT30C-J", "", kIdentify + Commands{"at@@lvl", "AT@@LNK"}, 3300 + 6500 + 3000, kLvl},
      {"KVT31-J", "", kIdentify + Commands{"AT@@LVL", "AT@@LNK"}, 11300, kLvl},
      {"KVT31C-J", "", kIdentify + Commands{"at@@lvl", "AT@@LNK"}, 12800, kLvl},
      {"KVR20C-J", "", kIdentify + Commands{"AT@@LVL", "AT@@LNK"}, 11300, kLvl},
      {"PX-301KV", "levels = 5,3,0\n", kIdentify + px_round, 3300 + 2400, kPx},
      {"KVT30-J", "model_code = KVT99-J\n", kIdentify, 3300, "0000000000000 0"},
      {"KVT30-J", "model_code = KVT30-J1234\nfirmware =\nphs_number = 0701234567\n",
       times(4, {"ATI5"}) + times(4, {"ATI6"}) + times(5, {"ATI4"}), 14300, "0000000000000 0"},
      {"KVT30-J", "fault.AT@@LVL = silent\nfault.AT@@LNK = silent\n",
       kIdentify + times(5, {"AT@@LVL"}) + times(5, {"AT@@LNK"}), 3300 + 25000 + 15000,
       "0000000000000 0"},
      {"KVT31C-J", "fault.AT@@LVL = error\n",
       kIdentify + times(5, {"at@@lvl"}) + times(1, {"AT@@LNK"}), 3300 + 32500 + 3000,
       "3120000000000 3"},
      {"PX-301KV", "fault.AT@K = silent\n", kIdentify + px_silent, 3300 + 5 * 2400,
       "xxxxxxxxxxxxx -"},
      {"KVT30-J", "", kIdentify + Commands{"AT@@LNK"}, 3300 + 3000, "0000000000000 3", true},
      {"KVT30-J", "", kIdentify + Commands{"AT@@LVL"}, 3300 + 5000, "5240000000000 0", false, true},
      {"KVT30-J", "echo = off\n", kIdentify + Commands{"AT@@LVL", "AT@@LNK"}, 11300, kLvl},
      {"KVT30C-J", "echo = off\n", kIdentify + Commands{"at@@lvl", "AT@@LNK"}, 12800, kLvl},
      {"KVT31-J", "echo = off\n", kIdentify + Commands{"AT@@LVL"} + times(5, {"AT@@LNK"}),
       3300 + 5000 + 15000, "0000000000000 0"},
      {"KVT31C-J", "echo = off\n", kIdentify + Commands{"at@@lvl"} + times(5, {"AT@@LNK"}),
       3300 + 6500 + 15000, "0000000000000 0"},
      {"KVR20C-J", "echo = off\n", kIdentify + Commands{"AT@@LVL"} + times(5, {"AT@@LNK"}),
       3300 + 5000 + 15000, "0000000000000 0"},
      {"KVT30-J", "levels =\n", kIdentify + times(5, {"AT@@LVL"}) + Commands{"AT@@LNK"},
       3300 + 25000 + 3000, "0000000000000 3"},
      {"KVT30-J", "levels = 5,-,4\n", kIdentify + Commands{"AT@@LVL", "AT@@LNK"}, 11300,
       "5040000000000 3"},
      {"PX-301KV", "levels = -,3,5\n", kIdentify + px_round, 3300 + 2400, "035xxxxxxxxxx -"},
      {"PX-301KV", "reply_ms = 50\n", kIdentify + px_silent, 3300 + 5 * 2400, "xxxxxxxxxxxxx -"},
      {"KVT30-J", "[ports]\nheld = 3\n", {}, (4 + 4 + 1) * 1100, "0000000000000 0"},
  };
  for (const Row& row : rows) {
    const std::string context = std::string(row.device) + " " + std::string(row.card_ini);
    Bench b(row.device, row.card_ini);
    if (row.link_frame_only || row.signal_frame_only) {
      std::vector<uint8_t> custom(kCustomSize, 0);
      custom[row.link_frame_only ? kLinkFrameFlag : kSignalFrameFlag] = 1;
      b.machine.write_windows_file("nimbra1.ssd", custom);
    }
    Program& p = b.start();
    const sim::CardSettings& card = b.machine.machine().card()->model().settings();
    const bool heard = !row.commands.empty();
    EXPECT_EQ(b.measure(), row.ms) << context;
    EXPECT_EQ(b.commands(), row.commands) << context;
    EXPECT_EQ(b.form().TxtVersion.text.get(), heard ? card.firmware : "") << context;
    EXPECT_EQ(b.form().TxtPhsNo.text.get(), heard ? card.phs_number : "") << context;
    EXPECT_EQ(b.form().ModemTxt.text.get(), heard ? card.model_code : "") << context;
    EXPECT_EQ(lamps(b.form()), row.lamps) << context;
    EXPECT_EQ(p.app->ConnState, 0) << context;
    EXPECT_TRUE(b.form().CmdAnalyze.enabled.get()) << context;
    EXPECT_FALSE(p.process.comm().PortOpen()) << context;
  }
}

// The measurement holds ConnState at 3 through all its waits, and a click of Measure that the
// pending events let through meanwhile starts no second measurement.
TEST(CardInfo, MeasuringStateHoldsAndBarsASecondStart) {
  Bench b("KVT30-J");
  Program& p = b.start();
  sim::Scheduler& scheduler = b.machine.machine().scheduler();
  constexpr uint64_t kMeasurementMs = 3300 + 5000 + 3000;
  std::vector<int32_t> states;
  for (uint64_t at = 100; at < kMeasurementMs; at += 500) {
    scheduler.after(at, sim::Scheduler::Lane::Device, [&] { states.push_back(p.app->ConnState); });
  }
  scheduler.after(1000, sim::Scheduler::Lane::Window, [&] { b.form().CmdAnalyze.click(); });
  EXPECT_EQ(b.measure(), kMeasurementMs);
  EXPECT_EQ(states, std::vector<int32_t>(states.size(), 3));
  EXPECT_EQ(states.size(), (kMeasurementMs + 400) / 500);
  EXPECT_EQ(b.commands(), (kIdentify + Commands{"AT@@LVL", "AT@@LNK"}));
  EXPECT_EQ(p.app->ConnState, 0);
}

// With the measure option on, start-up measures once; with KVAUTODL already connected it does
// nothing, and a click that still arrives does nothing either.
TEST(CardInfo, StartupMeasuresUnlessConnected) {
  for (const bool connected : {false, true}) {
    Bench b("KVT30-J", "", true, connected ? "\n[dialup]\nother_connections = KVAUTODL\n" : "");
    Program& p = b.start();
    EXPECT_EQ(b.commands().size(), connected ? 0u : 5u);
    EXPECT_EQ(b.form().ModemTxt.text.get(), connected ? "" : "KVT30-J");
    EXPECT_EQ(p.process.window().update_count(p.app->main_window), connected ? 0 : 1);
    if (!connected) continue;
    EXPECT_EQ(b.measure(), 0u);
    EXPECT_TRUE(b.commands().empty());
    EXPECT_EQ(p.app->ConnState, 1);
  }
}

}  // namespace
}  // namespace nimbra::diag
