// SPDX-License-Identifier: MIT
#include "shell/main_window.h"

#include <vector>

#include "shell/apply_button.h"
#include "shell/link_clicks.h"
#include "shell/option_tree.h"
#include "shell/startup.h"
#include "shell/window_placement.h"

namespace nimbra::shell {

void wire_main_window(AppContext& app) {
  MainForm& form = app.main_form;
  form.KorvoTab.on_click = [&app] { switch_page(app); };
  form.CmdApply.on_click = [&app] { apply_current_page(app); };
  form.SettingTree.on_node_check = [&app](int index) { setting_node_checked(app, index); };
  form.on_dbl_click = [&app] { toggle_collapse(app); };
  form.KorvoLink1.on_click = [&app] { KorvoLink1_Click(app); };
  form.KorvoLink2.on_click = [&app] { KorvoLink2_Click(app); };
  form.on_unload = [&app] {
    main_form_unload(app);
    app.platform.window.end_program();
  };
}

void set_captions(AppContext& app) {
  const Catalogue& cat = app.catalogue;
  MainForm& f = app.main_form;
  const auto set = [&cat](Control& c, int id) { c.caption = cat.str(id); };
  f.caption = cat.str(1001);
  f.KorvoTab.tab_captions = std::vector<std::string>{cat.str(1002), cat.str(1003), cat.str(1004),
                                                     cat.str(1005), cat.str(1006)};
  set(f.AccPtLab, 1007);
  set(f.UserLab, 1008);
  set(f.PassLbl, 1009);
  set(f.FrameStatus, 1010);
  set(f.RedialCheck, 1011);
  set(f.CmdStop, 1012);
  set(f.CmdConnect, 1013);
  set(f.CmdDiscnct, 1014);
  set(f.CmdCancel, 1015);
  set(f.CmdApply, 1016);
  set(f.WebAccel, 1017);
  set(f.AccOption[3], 1018);
  set(f.AccOption[1], 1019);
  set(f.AccOption[0], 1020);
  set(f.AccOption[2], 1021);
  set(f.InternetCache, 1022);
  set(f.CheckCash, 1023);
  set(f.MtuRwinLab, 1024);
  f.MtuRwinTxt.text = cat.str(1025);
  set(f.TcpipOption[0], 1026);
  set(f.TcpipOption[2], 1027);
  set(f.TcpipOption[1], 1028);
  set(f.MsureTxt, 1029);
  set(f.LabPHSNo, 1030);
  set(f.LabVersion, 1031);
  set(f.WaveFrame, 1032);
  set(f.CmdAnalyze, 1033);
  set(f.KorvoLink1, 1034);
  set(f.KorvoLink2, 1035);
  f.VersionTxt.text = cat.str(1036);
  set(f.ReconnectCheck, 1037);
  set(f.AutoDialLAb[0], 1038);
  set(f.AutoDialLAb[1], 1039);
  set(f.FrameMode, 1040);
  set(f.AccMode[0], 1041);
  set(f.AccMode[1], 1042);
  set(f.LnkFrm, 1043);
  set(f.SingleChk, 1044);
  f.AccTxt.text = cat.str(1045);
  f.KorvoLink1.tool_tip = cat.str(157);
  f.KorvoLink2.tool_tip = cat.str(158);
  set(f.SetTreeLbl, 1006);
  f.NoaccTxt.text = cat.str(164);
  set(f.ServiceOption[0], 1054);
  set(f.ServiceOption[1], 1055);
  set(f.ModemLbl, 1056);
  set(f.ModemLab, 1056);
  set(f.CmdRenew, 1057);
  set(f.LblLimit, 1058);
  set(f.CmdLimit, 1059);
}

void place_frames(AppContext& app) {
  MainForm& form = app.main_form;
  for (const auto& frame : form.Frames) {
    frame->left = form.KorvoTab.client_left();
    frame->top = form.KorvoTab.client_top();
    frame->width = form.KorvoTab.client_width();
    frame->height = form.KorvoTab.client_height();
  }
  form.Frames[0].bring_to_front();
}

void switch_page(AppContext& app) {
  app.dialup.show_connection_on_switch(app);
  if (!app.read_applied_accelerator(app)) return;
  // That step enables CmdDiscnct exactly when the connection is up.
  const bool connection_up = app.main_form.CmdDiscnct.enabled;
  show_selected_page(app, connection_up);
}

void show_selected_page(AppContext& app, bool connection_up) {
  MainForm& form = app.main_form;
  const int page = form.KorvoTab.selected;
  form.Frames[page - 1].bring_to_front();
  form.CmdApply.enabled = false;
  if (page != 4) return;
  // No measurement while connected: the card is busy with the call.
  form.CmdAnalyze.enabled = !connection_up;
  form.CmdAnalyze.visible = !connection_up;
  form.MsureTxt.visible = connection_up;
}

}  // namespace nimbra::shell
