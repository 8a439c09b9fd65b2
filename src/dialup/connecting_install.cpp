// SPDX-License-Identifier: MIT
#include "dialup/connecting_install.h"

#include <memory>

#include "dialup/connect.h"
#include "dialup/dial_events.h"
#include "dialup/redial.h"
#include "dialup/status_lamp.h"

namespace nimbra::dialup {

void install_connecting(shell::AppContext& app) {
  shell::DialupSteps& steps = app.dialup;
  // The procedure lives as long as the step that installs it, that is as long as the context.
  steps.install_window_procedure =
      [procedure = std::make_shared<DialEventProcedure>(app)](shell::AppContext& a) {
        install_window_procedure(a, *procedure);
      };
  steps.start_status_timer = start_status_timer;
  steps.start_connect = StartConnect;
  steps.release_session = [](shell::AppContext& a) {
    restore_window_procedure(a);
    a.RasSession.reset();
  };

  shell::MainForm& form = app.main_form;
  form.CmdConnect.on_click = [&app] { StartConnect(app); };
  form.CmdDiscnct.on_click = [&app] { Disconnect(app); };
  form.CmdCancel.on_click = [&app] { Close(app); };
  form.CmdStop.on_click = [&app] { Stop(app); };
  form.UserTxt.on_change = [&app] { EditNotice(app); };
  form.PassTxt.on_change = [&app] { EditNotice(app); };
  for (const auto& mode : form.AccMode) mode->on_click = [&app] { EditNotice(app); };
  for (const auto& box : form.AutoDialTxt) {
    box->on_change = [&app, index = box->index()] { AutoDialTxtChanged(app, index); };
  }
  form.Timer1.on_tick = [&app] { Timer1Tick(app); };
}

}  // namespace nimbra::dialup
