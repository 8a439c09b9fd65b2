// SPDX-License-Identifier: MIT
#include "dialup/dialup_install.h"

#include <memory>

#include "dialup/connecting_install.h"
#include "dialup/connection_state.h"
#include "dialup/provisioning.h"
#include "dialup/service_plans.h"
#include "dialup/session/vbras32.h"

namespace nimbra::dialup {

void install_dialup(shell::AppContext& app) {
  shell::DialupSteps& steps = app.dialup;
  steps.select_first_plan = select_first_plan;
  steps.provision_entry = [](shell::AppContext& a) {
    ProvisionEntry(a, a.ModemList[0].device_name, SettingsReload::KeepWindow);
  };
  steps.create_ras_session = [](shell::AppContext& a) {
    a.RasSession = std::make_shared<VBRas32>(a);
    a.RasSession->ParentWindow(a.main_window);
  };
  steps.show_connection_state = show_connection_state;
  steps.put_session_modem_first = put_session_modem_first;
  steps.show_connection_on_switch = show_connection_on_switch;
  steps.entry_connected = [](shell::AppContext& a) {
    return a.RasSession && a.RasSession->SeekEnumConns(kEntryName);
  };

  shell::MainForm& form = app.main_form;
  for (const auto& option : form.ServiceOption) {
    option->on_click = [&app] { ServiceOption_Click(app); };
  }
  form.CmdRenew.on_click = [&app] { CmdRenew_Click(app); };
  install_connecting(app);
}

}  // namespace nimbra::dialup
