// The CardInfo measurement on simulated machines, in virtual time: what each card is asked,
// what the page shows afterwards, and how long it takes.
#include "diag/card_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"
#include "shell/settings_record.h"

namespace nimbra::diag {
namespace {

using test::Program;
using test::TestMachine;
using Commands = std::vector<std::string>;
namespace color = lamp_color;

// Lamps lit per level column, -1 for a light grey column; columns left out are dark.
using Columns = std::vector<int>;

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

Commands with_identification(const Commands& measured) {
  Commands all = kIdentify;
  all.insert(all.end(), measured.begin(), measured.end());
  return all;
}

// The lamps of every column as painted, against the expected lamps per column.
void expect_columns(shell::MainForm& form, const Columns& lit, std::string_view context) {
  for (int column = 0; column < 13; ++column) {
    const int expected = column < static_cast<int>(lit.size()) ? lit[column] : 0;
    for (int i = 0; i < 5; ++i) {
      const platform::Color want = expected < 0   ? color::kUnavailable
                                   : i < expected ? color::kLevelOn
                                                  : color::kLevelOff;
      EXPECT_EQ(form.Picture1[column * 5 + i].back_color.get(), want)
          << context << " column " << column << " lamp " << i;
    }
  }
}

// Free-channel lamps: how many are yellow, or -1 when they are hidden.
void expect_free_lamps(shell::MainForm& form, int yellow, std::string_view context) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(form.Picture2[i].visible.get(), yellow >= 0) << context;
    if (yellow >= 0) {
      EXPECT_EQ(form.Picture2[i].back_color.get(), i < yellow ? color::kFreeOn : color::kFreeOff)
          << context << " lamp " << i;
    }
  }
}

struct ModelRow {
  std::string_view device;
  std::string_view card_ini;
  Commands measured;
  uint64_t ms;
  Columns columns;
  int free_lamps;
};

// Every model is asked its own commands in their letter case, within the design's waits, and
// the page shows the card's levels and free channels; the port is closed and the state idle.
TEST(CardInfo, EachModelMeasuresInItsOwnWay) {
  const Columns lvl{5, 2, 4};
  const Columns px{5, 3, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  const ModelRow rows[] = {
      {"KVT30-J", "", {"AT@@LVL", "AT@@LNK"}, 3300 + 5000 + 3000, lvl, 3},
      {"KVT30-J", "echo = off\n", {"AT@@LVL", "AT@@LNK"}, 11300, lvl, 3},
      {"KVT30C-J", "", {"at@@lvl", "AT@@LNK"}, 3300 + 6500 + 3000, lvl, 3},
      {"KVT31-J", "", {"AT@@LVL", "AT@@LNK"}, 11300, lvl, 3},
      {"KVT31C-J", "", {"at@@lvl", "AT@@LNK"}, 12800, lvl, 3},
      {"KVR20C-J", "", {"AT@@LVL", "AT@@LNK"}, 11300, lvl, 3},
      {"PX-301KV", "levels = 5,3,0\n", {"AT@K", "ATE0", "ATZ"}, 3300 + 2400, px, -1},
      {"PX-301KV", "levels = 5,3,0\necho = off\n", {"AT@K", "ATE0", "ATZ"}, 5700, px, -1},
  };
  for (const ModelRow& row : rows) {
    const std::string context = std::string(row.device) + " " + std::string(row.card_ini);
    Bench b(row.device, row.card_ini);
    Program& p = b.start();
    EXPECT_EQ(b.measure(), row.ms) << context;
    EXPECT_EQ(b.commands(), with_identification(row.measured)) << context;
    EXPECT_EQ(b.form().TxtVersion.text.get(), "Ver 1.00") << context;
    EXPECT_EQ(b.form().TxtPhsNo.text.get(), "07012345678") << context;
    EXPECT_EQ(b.form().ModemTxt.text.get(),
              b.machine.machine().card()->model().settings().model_code);
    expect_columns(b.form(), row.columns, context);
    expect_free_lamps(b.form(), row.free_lamps, context);
    EXPECT_EQ(p.app->ConnState, 0) << context;
    EXPECT_TRUE(b.form().CmdAnalyze.enabled.get()) << context;
    EXPECT_FALSE(p.process.comm().PortOpen()) << context;
  }
}

struct FaultRow {
  std::string_view device;
  std::string_view card_ini;
  Commands measured;
  uint64_t ms;
  Columns columns;
  int free_lamps;
};

// Cards that fail a measurement command use every attempt of the design's worst case, then
// show what the design shows for it: "ERROR" gives 3, 1, 2; a silent PX-301 stops after five
// rounds with every column light grey.
TEST(CardInfo, FailingAnswersUseEveryAttempt) {
  const Commands lvl5(5, "AT@@LVL"), lnk5(5, "AT@@LNK"), err5(5, "at@@lvl");
  Commands lvl_lnk = lvl5;
  lvl_lnk.insert(lvl_lnk.end(), lnk5.begin(), lnk5.end());
  Commands err_lnk = err5;
  err_lnk.push_back("AT@@LNK");
  Commands px{"AT@K", "ATE0", "ATZ"};
  for (int round = 1; round < kPx301Attempts; ++round) {
    for (const char* c : {"ATE1", "AT@K", "ATE0", "ATZ"}) px.push_back(c);
  }
  const FaultRow rows[] = {
      {"KVT30-J",
       "fault.AT@@LVL = silent\nfault.AT@@LNK = silent\n",
       lvl_lnk,
       3300 + 25000 + 15000,
       {},
       0},
      {"KVT31C-J", "fault.AT@@LVL = error\n", err_lnk, 3300 + 32500 + 3000, {3, 1, 2}, 3},
      {"PX-301KV", "fault.AT@K = silent\n", px, 3300 + 5 * 2400, Columns(13, -1), -1},
  };
  for (const FaultRow& row : rows) {
    Bench b(row.device, row.card_ini);
    b.start();
    EXPECT_EQ(b.measure(), row.ms) << row.card_ini;
    EXPECT_EQ(b.commands(), with_identification(row.measured)) << row.card_ini;
    expect_columns(b.form(), row.columns, row.card_ini);
    expect_free_lamps(b.form(), row.free_lamps, row.card_ini);
  }
}

struct IdentifyRow {
  std::string_view card_ini;
  Commands commands;
  uint64_t ms;
};

// A model code outside the catalogue fills the three boxes and measures nothing; answers that
// fail every repeat rule (no firmware, a short PHS number, an 11-character model code) take
// every attempt, 14.3 s.
TEST(CardInfo, UnknownModelOnlyIdentifies) {
  Commands worst(4, "ATI5");
  worst.insert(worst.end(), 4, "ATI6");
  worst.insert(worst.end(), 5, "ATI4");
  const IdentifyRow rows[] = {
      {"model_code = KVT99-J\n", kIdentify, 3300},
      {"model_code = KVT30-J1234\nfirmware =\nphs_number = 0701234567\n", worst, 14300},
  };
  for (const IdentifyRow& row : rows) {
    Bench b("KVT30-J", row.card_ini);
    b.start();
    EXPECT_EQ(b.measure(), row.ms) << row.card_ini;
    EXPECT_EQ(b.commands(), row.commands) << row.card_ini;
    EXPECT_EQ(b.form().ModemTxt.text.get(),
              b.machine.machine().card()->model().settings().model_code);
    EXPECT_EQ(b.form().TxtPhsNo.text.get(),
              b.machine.machine().card()->model().settings().phs_number);
    expect_columns(b.form(), {}, row.card_ini);
    expect_free_lamps(b.form(), 0, row.card_ini);
  }
}

// The customisation file's signal-frame flag 0 with its link-frame flag 1 leaves only AT@@LNK.
TEST(CardInfo, CustomFileGatesTheMeasurements) {
  Bench b("KVT30-J");
  std::vector<uint8_t> custom(kCustomSize, 0);
  custom[kLinkFrameFlag] = 1;
  custom[kSignalFrameFlag] = 0;
  b.machine.write_windows_file("nimbra1.ssd", custom);
  b.start();
  b.measure();
  EXPECT_EQ(b.commands(), with_identification({"AT@@LNK"}));
  expect_columns(b.form(), {}, "custom");
  expect_free_lamps(b.form(), 3, "custom");
}

// A port held by another program: identification meets silence (4, 4 and 1 attempts), the page
// keeps its reset look, and the port the program never opened is left alone.
TEST(CardInfo, HeldPortMeasuresNothing) {
  Bench b("KVT30-J");
  Program& p = b.start();
  b.machine.machine().ports().hold(3);
  EXPECT_EQ(b.measure(), 9900u);
  EXPECT_TRUE(b.commands().empty());
  EXPECT_EQ(
      b.form().TxtVersion.text.get() + b.form().TxtPhsNo.text.get() + b.form().ModemTxt.text.get(),
      "");
  expect_columns(b.form(), {}, "held");
  expect_free_lamps(b.form(), 0, "held");
  EXPECT_FALSE(p.process.comm().PortOpen());
  EXPECT_EQ(p.app->ConnState, 0);
}

// The red lamp and the cleared page are painted the moment Measure is pressed, before the
// first wait, also when the page showed an earlier measurement.
TEST(CardInfo, RedLampAndClearedPagePaintedBeforeWaiting) {
  Bench b("KVT30-J");
  Program& p = b.start();
  b.measure();
  struct Painting {
    uint64_t at;
    platform::Color lamp;
    std::string version;
    platform::Color first_level;
    platform::Color first_free;
  };
  std::vector<Painting> paintings;
  p.process.window().on_update([&](platform::Hwnd) {
    paintings.push_back({b.now(), b.form().StatusLump.back_color, b.form().TxtVersion.text,
                         b.form().Picture1[0].back_color, b.form().Picture2[0].back_color});
  });
  const uint64_t pressed = b.now();
  b.measure();
  ASSERT_EQ(paintings.size(), 1u);
  EXPECT_EQ(paintings[0].at, pressed);
  EXPECT_EQ(paintings[0].lamp, color::kMeasuring);
  EXPECT_EQ(paintings[0].version, "");
  EXPECT_EQ(paintings[0].first_level, color::kLevelOff);
  EXPECT_EQ(paintings[0].first_free, color::kFreeOff);
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
