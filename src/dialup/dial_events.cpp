// SPDX-License-Identifier: MIT
#include "dialup/dial_events.h"

#include <memory>

#include "accel/client_programs.h"
#include "dialup/dial_state_text.h"
#include "dialup/redial.h"
#include "dialup/session/vbras32.h"
#include "shell/option_tree.h"

namespace nimbra::dialup {

namespace {

void on_connected(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  form.FrameMode.enabled = false;
  form.CmdDiscnct.enabled = true;
  form.CmdLimit.enabled = true;
  form.CmdConnect.enabled = false;
  app.RedialArmed = true;
  app.ConnState = 1;
  // The options count as they are checked now, applied or not.
  const shell::TreeView& tree = form.SettingTree;
  if (tree.node(shell::kBrowserAfterConnect).checked) {
    accel::launch_or_report(app, app.BrowserPath, accel::kBrowserNotFound);
  }
  if (tree.node(shell::kMailerAfterConnect).checked) {
    accel::launch_or_report(app, app.MailerPath, accel::kMailerNotFound);
  }
  if (tree.node(shell::kMinimizeAfterConnect).checked) {
    form.window_state = platform::WindowState::Minimized;
  }
}

void on_disconnected(shell::AppContext& app, VBRas32& session) {
  shell::MainForm& form = app.main_form;
  session.HangUp();
  form.FrameMode.enabled = true;
  form.CmdConnect.enabled = true;
  form.CmdDiscnct.enabled = false;
  form.CmdLimit.enabled = false;
  app.ConnState = 0;
}

void on_state(shell::AppContext& app, VBRas32& session, uint32_t state) {
  shell::MainForm& form = app.main_form;
  const DialStateView view = dial_state_view(state);
  form.StatusLbl.caption = app.catalogue.str(view.message);
  if (state == platform::RASCS_OpenPort) form.CmdConnect.enabled = false;
  if (view.dialling) app.ConnState = 2;
  if (state == platform::RASCS_Connected) on_connected(app);
  if (state == platform::RASCS_Disconnected) on_disconnected(app, session);
}

void on_error(shell::AppContext& app, VBRas32& session, int32_t code) {
  shell::MainForm& form = app.main_form;
  const std::string text = app.catalogue.str(109) + shell::compose_number(code) +
                           "):" + session.ErrMsg(static_cast<uint32_t>(code));
  app.platform.window.message_box(text, app.app_title, platform::MsgBoxButtons::Ok);
  if (static_cast<uint32_t>(code) == platform::ERROR_NO_CONNECTION) {
    form.CmdConnect.enabled = true;
    form.CmdCancel.enabled = false;
    form.CmdApply.enabled = false;
    form.CmdStop.enabled = false;
    return;
  }
  session.HangUp();
  form.StatusLbl.caption = app.catalogue.str(145);
  form.CmdConnect.enabled = true;
  form.CmdDiscnct.enabled = false;
  form.CmdLimit.enabled = false;
  app.ConnState = 0;
  RedialStep(app);
}

}  // namespace

intptr_t WindowProc(shell::AppContext& app, platform::Hwnd hwnd, uint32_t uMsg, uintptr_t wParam,
                    intptr_t lParam) {
  // Held so that events run inside the handling cannot take the session away underneath it.
  const std::shared_ptr<VBRas32> session = app.RasSession;
  if (session && uMsg == session->RasEventMsg()) {
    if (lParam == 0) {
      on_state(app, *session, static_cast<uint32_t>(wParam));
    } else {
      on_error(app, *session, static_cast<int32_t>(lParam));
    }
  }
  // As CallWindowProcA with no procedure: there is nobody to pass the message on to.
  if (app.PrevWndProc == nullptr) return 0;
  return app.PrevWndProc->handle(hwnd, uMsg, wParam, lParam);
}

void install_window_procedure(shell::AppContext& app, platform::WindowProcedure& procedure) {
  app.PrevWndProc = app.platform.window.SetWindowProcedure(app.main_window, &procedure);
}

void restore_window_procedure(shell::AppContext& app) {
  app.platform.window.SetWindowProcedure(app.main_window, app.PrevWndProc);
}

}  // namespace nimbra::dialup
