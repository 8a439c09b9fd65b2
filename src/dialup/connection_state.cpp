// SPDX-License-Identifier: MIT
#include "dialup/connection_state.h"

#include <utility>

#include "dialup/session/vbras32.h"

namespace nimbra::dialup {

void show_connection_state(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  const bool up = app.RasSession->SeekEnumConns(kEntryName, true);
  form.CmdConnect.enabled = !up;
  form.CmdDiscnct.enabled = up;
  form.CmdLimit.enabled = false;
  form.FrameMode.enabled = !up;
  form.StatusLbl.caption = app.catalogue.str(up ? 102 : 103);
  app.ConnState = up ? 1 : 0;
}

void show_connection_on_switch(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  const bool up = app.RasSession->SeekEnumConns(kEntryName);
  form.CmdConnect.enabled = !up;
  form.CmdDiscnct.enabled = up;
  form.CmdLimit.enabled = up;
  form.StatusLbl.caption = app.catalogue.str(up ? 102 : 103);
}

void put_session_modem_first(shell::AppContext& app) {
  const auto count = static_cast<size_t>(app.ModemCount);
  for (size_t i = 0; i < count && i < app.ModemList.size(); ++i) {
    if (app.ModemList[i].device_name == app.RasSession->m_DeviceName) {
      std::swap(app.ModemList[i], app.ModemList[0]);
      break;
    }
  }
  shell::ComboBox& combo = app.main_form.ModemCombo;
  combo.clear();
  for (size_t i = 0; i < count && i < app.ModemList.size(); ++i) {
    combo.add_item(app.ModemList[i].model_name);
  }
  combo.list_index = 0;
}

}  // namespace nimbra::dialup
