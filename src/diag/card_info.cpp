// SPDX-License-Identifier: MIT
#include "diag/card_info.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "diag/at_channel.h"
#include "diag/card_answers.h"
#include "diag/lamp_readings.h"
#include "diag/reply_text.h"
#include "shell/spoken_names.h"

namespace nimbra::diag {

namespace {

constexpr int32_t kIdle = 0;
constexpr int32_t kMeasuring = 3;

constexpr uint32_t kIdentifyWaitMs = 1100;
constexpr size_t kPhsNumberLength = 11;
constexpr int kLevelAttempts = 5;
constexpr uint32_t kLevelWaitMs = 5000;
constexpr uint32_t kPausedLevelWaitMs = 3000;
constexpr uint32_t kPausedLevelSettleMs = 500;
constexpr int kFreeChannelAttempts = 5;
constexpr uint32_t kFreeChannelWaitMs = 3000;
constexpr uint32_t kPx301AnswerWaitMs = 1100;
constexpr uint32_t kPx301EchoWaitMs = 100;
constexpr int32_t kFreeChannelLamps = 4;

enum class LevelTiming {
  SendThenWait,  // send, wait 5000 ms, read
  PauseFirst,    // wait 3000 ms, send, wait 3000 ms, and 500 ms more when something came
};

// The cards that report channel levels and free channels, each in its own way.
struct LevelCard {
  std::string_view code;
  std::string_view command;
  LevelTiming timing;
  EchoRemoval echo;
  bool error_answer;  // answers "ERROR" when it cannot measure
};

constexpr std::array<LevelCard, 5> kLevelCards{{
    {"KVT30-J", "AT@@LVL", LevelTiming::SendThenWait, EchoRemoval::Guarded, false},
    {"KVT30C-J", "at@@lvl", LevelTiming::PauseFirst, EchoRemoval::Guarded, true},
    {"KVT31-J", "AT@@LVL", LevelTiming::SendThenWait, EchoRemoval::Unguarded, false},
    {"KVT31C-J", "at@@lvl", LevelTiming::PauseFirst, EchoRemoval::Unguarded, true},
    {"KVR20C-J", "AT@@LVL", LevelTiming::SendThenWait, EchoRemoval::Unguarded, false},
}};

constexpr std::string_view kPx301 = "PX-301";
// What the level columns show when an "at@@lvl" card answers "ERROR".
constexpr std::array<int16_t, 3> kErrorLevels{3, 1, 2};

const LevelCard* level_card(std::string_view code) {
  for (const LevelCard& card : kLevelCards) {
    if (card.code == code) return &card;
  }
  return nullptr;
}

class Measurement {
 public:
  explicit Measurement(shell::AppContext& app)
      : app_(app),
        form_(app.main_form),
        comm_(app.platform.comm),
        channel_(app.platform.comm, app.platform.kernel) {}

  void run(int16_t port) {
    form_.CmdAnalyze.enabled = false;
    const bool opened = channel_.OpenForMeasurement(port);
    app_.ConnState = kMeasuring;
    shell::show_status_lamp(app_, lamp_color::kMeasuring);
    reset_page();
    // The red lamp and the cleared page stay on the screen through the waits that follow.
    app_.platform.window.UpdateWindow(app_.main_window);

    const std::string model = identify();
    if (const LevelCard* card = level_card(model)) {
      const shell::CustomRecord& custom = app_.CustomRecord;
      if (!app_.CustomPresent || custom.SignalFrameVisible == 1) measure_levels(*card);
      if (!app_.CustomPresent || custom.LinkFrameVisible == 1) measure_free_channels(*card);
    } else if (model == kPx301) {
      measure_px301();
    }

    app_.platform.window.do_events();
    paint_levels();
    paint_free_channels();
    describe_card_lamps(app_);
    channel_.CloseAfterMeasurement(opened);
    form_.CmdAnalyze.enabled = true;
    app_.ConnState = kIdle;
  }

 private:
  void sleep(uint32_t ms) { app_.platform.kernel.Sleep(ms); }

  void reset_page() {
    form_.TxtPhsNo.text = std::string();
    form_.TxtVersion.text = std::string();
    form_.ModemTxt.text = std::string();
    for (const auto& lamp : form_.Picture2) {
      lamp->visible = true;
      lamp->back_color = lamp_color::kFreeOff;
    }
    free_channels_ = 0;
    for (const auto& lamp : form_.Picture1) lamp->back_color = lamp_color::kLevelOff;
    describe_card_lamps(app_);
    set_levels(0, kLevelsRead, 0);
  }

  void set_levels(int16_t from, int16_t to, int16_t value) {
    for (int16_t k = from; k < to; ++k) app_.ChannelLevels[static_cast<size_t>(k)] = value;
  }

  // One identification exchange: an answer that came replaces the box's text.
  void ask(std::string_view command, platform::TextBox& box) {
    if (const auto reply = channel_.SendAtCommand(command, kIdentifyWaitMs)) {
      box.text = ExtractReplyLine(*reply);
    }
  }

  std::string identify() {
    int attempts = 0;
    do {
      ask("ATI5", form_.TxtVersion);
    } while (++attempts < 4 && form_.TxtVersion.text.get().empty());
    attempts = 0;
    do {
      ask("ATI6", form_.TxtPhsNo);
    } while (++attempts < 4 && form_.TxtPhsNo.text.get().size() != kPhsNumberLength);
    // An answer as long as a PHS number is a late answer to ATI6: ask again.
    attempts = 0;
    do {
      ask("ATI4", form_.ModemTxt);
    } while (++attempts < 5 && form_.ModemTxt.text.get().size() == kPhsNumberLength);
    return form_.ModemTxt.text;
  }

  std::optional<std::string> ask_levels(const LevelCard& card) {
    if (card.timing == LevelTiming::SendThenWait) {
      return channel_.SendAtCommand(card.command, kLevelWaitMs);
    }
    comm_.set_InputLen(0);
    sleep(kPausedLevelWaitMs);
    channel_.Send(card.command);
    sleep(kPausedLevelWaitMs);
    int16_t waiting = 0;
    comm_.InBufferCount(waiting);
    if (waiting != 0) sleep(kPausedLevelSettleMs);
    return channel_.ReadWaiting();
  }

  void measure_levels(const LevelCard& card) {
    app_.LevelCount = 0;
    for (int attempt = 0; attempt < kLevelAttempts && app_.LevelCount == 0; ++attempt) {
      const auto reply = ask_levels(card);
      if (!reply) continue;
      const std::string answer = RemoveEcho(*reply, card.command, card.echo);
      if (card.error_answer && answer.find("ERROR") != std::string::npos) {
        for (size_t k = 0; k < kErrorLevels.size(); ++k) app_.ChannelLevels[k] = kErrorLevels[k];
        set_levels(kErrorLevels.size(), kLevelsRead, 0);
        app_.LevelCount = 0;
        continue;
      }
      app_.LevelCount = read_level_answer(answer, app_.ChannelLevels);
    }
  }

  void measure_free_channels(const LevelCard& card) {
    free_channels_ = 0;
    for (int attempt = 0; attempt < kFreeChannelAttempts && free_channels_ == 0; ++attempt) {
      if (const auto reply = channel_.SendAtCommand("AT@@LNK", kFreeChannelWaitMs)) {
        free_channels_ = read_free_channel_answer(RemoveEcho(*reply, "AT@@LNK", card.echo));
      }
    }
  }

  void discard_waiting() { (void)channel_.ReadWaiting(); }

  // The PX-301 answers with the echo on, and only in the second of two waits.
  void measure_px301() {
    for (const auto& lamp : form_.Picture2) lamp->visible = false;
    set_levels(0, kLevelsRead, kLevelUnavailable);
    app_.LevelCount = 0;
    comm_.set_PortOpen(false);
    for (int attempt = 0; attempt < kPx301Attempts; ++attempt) {
      // The first ATE1 meets the closed port and goes nowhere.
      channel_.Send("ATE1");
      sleep(kPx301EchoWaitMs);
      discard_waiting();
      if (!comm_.PortOpen()) comm_.set_PortOpen(true);
      discard_waiting();
      channel_.Send("AT@K");
      sleep(kPx301AnswerWaitMs);
      discard_waiting();
      sleep(kPx301AnswerWaitMs);
      int16_t waiting = 0;
      comm_.InBufferCount(waiting);
      std::string answer;
      comm_.Input(answer);
      channel_.Send("ATE0");
      sleep(kPx301EchoWaitMs);
      const auto found = read_px301_answer(answer, waiting, app_.ChannelLevels);
      if (found) app_.LevelCount = *found;
      channel_.Send("ATZ");
      discard_waiting();
      if (found) return;
    }
  }

  void paint_levels() {
    for (int column = 0; column < shell::kSignalColumns; ++column) {
      const int16_t level = app_.ChannelLevels[static_cast<size_t>(column)];
      const int first = column * shell::kLampsPerColumn;
      if (level == kLevelUnavailable) {
        for (int i = 0; i < shell::kLampsPerColumn; ++i) {
          form_.Picture1[first + i].back_color = lamp_color::kUnavailable;
        }
      } else if (level >= 1 && level <= shell::kLampsPerColumn) {
        // Any other value is no reading a column can show: it stays dark.
        for (int i = 0; i < level; ++i) form_.Picture1[first + i].back_color = lamp_color::kLevelOn;
      }
    }
  }

  void paint_free_channels() {
    for (int i = 0; i < kFreeChannelLamps; ++i) {
      form_.Picture2[i].back_color = i < free_channels_ && free_channels_ <= kFreeChannelLamps
                                         ? lamp_color::kFreeOn
                                         : lamp_color::kFreeOff;
    }
  }

  shell::AppContext& app_;
  shell::MainForm& form_;
  platform::Comm& comm_;
  AtChannel channel_;
  int32_t free_channels_ = 0;
};

}  // namespace

void CmdAnalyze_Click(shell::AppContext& app) {
  // A click let through by the pending events of a running measurement must not start another.
  if (app.ConnState == kMeasuring) return;
  if (app.dialup.entry_connected(app)) return;
  const int selected = app.main_form.ModemCombo.list_index;
  if (selected < 0 || selected >= app.ModemCount) return;
  Measurement(app).run(app.ModemList[static_cast<size_t>(selected)].port);
}

void install_card_info(shell::AppContext& app) {
  app.main_form.CmdAnalyze.on_click = [&app] { CmdAnalyze_Click(app); };
  app.measure_card = CmdAnalyze_Click;
}

}  // namespace nimbra::diag
