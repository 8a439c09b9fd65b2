// SPDX-License-Identifier: MIT
#include "dialup/redial.h"

#include <limits>
#include <memory>

#include "diag/reply_text.h"
#include "dialup/session/vbras32.h"
#include "dialup/status_lamp.h"
#include "shell/spoken_names.h"

namespace nimbra::dialup {

namespace {

constexpr uint32_t kCountdownStepMs = 1000;

// The count only grows; it stops at the top of its range rather than wrap.
void count_redial_decision(shell::AppContext& app) {
  if (app.RedialCount < std::numeric_limits<int32_t>::max()) ++app.RedialCount;
}

// What the countdown shows must be on the screen while the thread blocks in its waits.
void paint_now(shell::AppContext& app) {
  app.platform.window.UpdateWindow(app.main_window);
}

void stop_countdown(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  app.RedialArmed = false;
  form.CmdStop.enabled = false;
  form.StatusLbl.caption = app.catalogue.str(145);
  paint_now(app);
  form.CmdCancel.enabled = true;
}

// Counts the seconds down, letting events run once a second; a Stop ends it early.
void count_down(shell::AppContext& app, const VBRas32& session) {
  shell::MainForm& form = app.main_form;
  shell::show_status_lamp(app, lamp::kBlack);
  paint_now(app);
  app.StopRequested = false;
  form.CmdConnect.enabled = false;
  form.CmdStop.enabled = true;
  form.CmdCancel.enabled = false;
  form.CmdApply.enabled = false;
  const int64_t wait = session.m_AutoDialWait;
  for (int64_t i = 1; i <= wait; ++i) {
    app.platform.window.do_events();
    if (app.StopRequested) {
      stop_countdown(app);
      return;
    }
    form.StatusLbl.caption = countdown_text(app.catalogue, int64_t{app.RedialCount} + 1,
                                            session.m_AutoDial, wait - i + 1);
    paint_now(app);
    app.platform.kernel.Sleep(kCountdownStepMs);
  }
}

}  // namespace

std::string countdown_text(const shell::Catalogue& catalogue, int64_t trial, int64_t trials,
                           int64_t seconds_left) {
  return catalogue.str(138) + shell::compose_number(trial) + "/" + shell::compose_number(trials) +
         catalogue.str(106) + shell::compose_number(seconds_left) + catalogue.str(153);
}

void RedialStep(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  // Held here so that the countdown's events cannot take the session away underneath it.
  const std::shared_ptr<VBRas32> session = app.RasSession;
  if (!app.RedialArmed) {
    form.CmdStop.enabled = false;
  } else if (app.RedialCount >= session->m_AutoDial) {
    count_redial_decision(app);
  } else {
    count_down(app, *session);
    if (app.RedialArmed) session->Dialup();
    count_redial_decision(app);
  }
  form.CmdConnect.enabled = true;
  form.CmdCancel.enabled = true;
  form.CmdApply.enabled = true;
  form.CmdStop.enabled = false;
}

void AutoDialTxtChanged(shell::AppContext& app, int index) {
  if (index != 0 && index != 1) return;
  shell::TextBox& box = app.main_form.AutoDialTxt[index];
  // Setting the text raises this change again, which then finds "0".
  if (diag::NumericField(box.text.get()) < 0) box.text = std::string("0");
  // Before the session exists, or once Close has let it go, nothing follows the boxes.
  if (!app.RasSession) return;
  int32_t& setting = index == 0 ? app.RasSession->m_AutoDial : app.RasSession->m_AutoDialWait;
  setting = diag::NumericField32(box.text.get());
}

}  // namespace nimbra::dialup
