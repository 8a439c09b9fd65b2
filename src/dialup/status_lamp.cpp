// SPDX-License-Identifier: MIT
#include "dialup/status_lamp.h"

#include "dialup/session/vbras32.h"
#include "shell/spoken_names.h"

namespace nimbra::dialup {

namespace {

enum class Analyze { Enable, Disable, Keep };

Analyze analyze_rule(int32_t conn_state) {
  switch (conn_state) {
    case 0:
    case 3:
      return Analyze::Enable;
    case 1:
    case 2:
      return Analyze::Disable;
    default:
      return Analyze::Keep;
  }
}

}  // namespace

std::optional<platform::Color> lamp_color(int32_t conn_state) {
  switch (conn_state) {
    case 0:
      return lamp::kBlack;
    case 1:
      return lamp::kGreen;
    case 2:
      return lamp::kOrange;
    case 3:
      return lamp::kMagenta;
    case 4:
      return lamp::kRed;
    default:
      return std::nullopt;
  }
}

void show_lamp(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  if (const auto color = lamp_color(app.ConnState)) shell::show_status_lamp(app, *color);
  switch (analyze_rule(app.ConnState)) {
    case Analyze::Enable:
      form.CmdAnalyze.enabled = true;
      break;
    case Analyze::Disable:
      form.CmdAnalyze.enabled = false;
      break;
    case Analyze::Keep:
      break;
  }
}

void Timer1Tick(shell::AppContext& app) {
  // A tick that is still queued when Close has let the session go finds nothing to ask.
  if (!app.RasSession) return;
  if (app.RasSession->SeekEnumConns(kEntryName, true)) {
    app.ConnState = 1;
  } else if (app.ConnState == 1) {
    app.ConnState = 0;
  }
  show_lamp(app);
}

void start_status_timer(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  form.CmdStop.enabled = false;
  form.Timer1.interval = kStatusTimerMs;
  form.Timer1.enabled = true;
}

}  // namespace nimbra::dialup
