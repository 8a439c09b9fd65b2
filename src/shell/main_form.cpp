// SPDX-License-Identifier: MIT
#include "shell/main_form.h"

#include "controls/link_target.h"

namespace nimbra::shell {

namespace {

// Positions in twips within the container: left, top, width, height.
void place(Control& c, int left, int top, int width, int height) {
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
}

void read_only(TextBox& box, bool multi_line) {
  box.locked = true;
  box.multi_line = multi_line;
}

// Signal bars: column k holds lamps 5k..5k+4, lit from the bottom up.
void place_signal_lamps(ControlArray<PictureBox>& lamps) {
  for (int i = 0; i < lamps.size(); ++i) {
    const int column = i / kLampsPerColumn, row = i % kLampsPerColumn;
    place(lamps[i], 180 + column * 330, 300 + (4 - row) * 360, 240, 300);
  }
}

}  // namespace

MainForm::MainForm() : Form("MainForm") {
  place(KorvoTab, 120, 120, 6960, 5220);
  place(Frame2, 120, 5400, 600, 495);
  place(StatusLump, 150, 135, 300, 270);
  place(ServiceLbl[0], 840, 5520, 1560, 255);
  place(ServiceLbl[1], 2460, 5520, 1560, 255);
  place(CmdCancel, 4560, 5460, 1200, 375);
  place(CmdApply, 5880, 5460, 1200, 375);
  Timer1.interval = 100;

  place(AccPtLab, 120, 240, 1320, 255);
  place(AccPtCmb, 1440, 180, 2400, 315);
  place(UserLab, 120, 660, 1320, 255);
  place(UserTxt, 1440, 600, 2400, 315);
  UserTxt.max_length = 30;
  place(PassLbl, 120, 1080, 1320, 255);
  place(PassTxt, 1440, 1020, 2400, 315);
  PassTxt.max_length = 30;
  PassTxt.password_char = "*";
  place(CmdConnect, 5400, 180, 1320, 375);
  place(CmdDiscnct, 5400, 615, 1320, 375);
  place(CmdStop, 5400, 1050, 1320, 375);
  place(FrameMode, 120, 1440, 3720, 840);
  place(AccMode[0], 120, 240, 3480, 255);
  place(AccMode[1], 120, 520, 3480, 255);
  place(SingleChk, 120, 2340, 3720, 255);
  SingleChk.visible = false;
  place(RedialCheck, 3960, 1440, 2760, 255);
  place(AutoDialLAb[0], 3960, 1800, 1800, 255);
  place(AutoDialTxt[0], 5880, 1740, 840, 315);
  AutoDialTxt[0].text = "3";
  place(AutoDialLAb[1], 3960, 2200, 1800, 255);
  place(AutoDialTxt[1], 5880, 2140, 840, 315);
  AutoDialTxt[1].text = "60";
  place(FrameStatus, 120, 2640, 6600, 840);
  place(StatusLbl, 120, 300, 6360, 480);
  place(FrameLimit, 120, 3600, 6600, 1140);
  place(LblLimit, 120, 300, 4920, 720);
  place(CmdLimit, 5160, 300, 1320, 375);

  place(WebAccel, 120, 120, 6600, 1560);
  place(AccOption[3], 240, 300, 6120, 255);
  place(AccOption[1], 240, 600, 6120, 255);
  place(AccOption[0], 240, 900, 6120, 255);
  place(AccOption[2], 240, 1200, 6120, 255);
  place(AccTxt, 120, 1740, 6600, 780);
  read_only(AccTxt, true);
  place(NoaccTxt, 120, 1740, 6600, 780);
  read_only(NoaccTxt, true);
  NoaccTxt.visible = false;
  place(InternetCache, 120, 2640, 6600, 1440);
  place(CheckCash, 240, 300, 6120, 255);
  place(ProgressBar1, 240, 660, 6120, 255);
  place(LabProgress, 240, 1020, 6120, 255);
  // The progress shows only while the cache is being deleted.
  ProgressBar1.visible = false;
  LabProgress.visible = false;
  place(List1, 120, 4140, 6600, 600);
  List1.visible = false;

  place(MtuRwinLab, 120, 120, 6600, 720);
  place(TcpipOption[0], 240, 900, 3120, 255);
  place(TcpipOption[2], 240, 1200, 3120, 255);
  place(TcpipOption[1], 240, 1500, 3120, 255);
  place(MtuLab, 3600, 900, 720, 255);
  MtuLab.caption = "MTU";
  place(MtuTxt, 4440, 840, 1200, 315);
  MtuTxt.max_length = 4;
  place(RwinLab, 3600, 1260, 720, 255);
  RwinLab.caption = "RWIN";
  place(RwinTxt, 4440, 1200, 1200, 315);
  RwinTxt.max_length = 6;
  place(MtuRwinTxt, 120, 1980, 6600, 1800);
  read_only(MtuRwinTxt, true);

  place(ModemLbl, 120, 180, 1440, 255);
  place(ModemTxt, 1680, 120, 3000, 315);
  read_only(ModemTxt, false);
  place(LabPHSNo, 120, 540, 1440, 255);
  place(TxtPhsNo, 1680, 480, 3000, 315);
  read_only(TxtPhsNo, false);
  place(LabVersion, 120, 900, 1440, 255);
  place(TxtVersion, 1680, 840, 3000, 315);
  read_only(TxtVersion, false);
  place(WaveFrame, 120, 1260, 4560, 2280);
  place_signal_lamps(Picture1);
  place(LnkFrm, 4800, 1260, 1920, 2280);
  for (int i = 0; i <= 3; ++i) place(Picture2[i], 180 + i * 420, 960, 300, 300);
  place(ReconnectCheck, 120, 3720, 3600, 255);
  place(CmdAnalyze, 5400, 3660, 1320, 375);
  place(MsureTxt, 120, 4080, 6600, 600);
  MsureTxt.visible = false;

  place(SetTreeLbl, 120, 120, 3000, 255);
  place(SettingTree, 120, 420, 6600, 1800);
  place(ServiceOption[0], 120, 2340, 2160, 255);
  place(ServiceOption[1], 2340, 2340, 2160, 255);
  place(ServiceOption[2], 4560, 2340, 2160, 255);
  ServiceOption[2].caption = "QTIMEシリーズ";
  place(ModemLab, 120, 2760, 1200, 255);
  place(ModemCombo, 1380, 2700, 3840, 315);
  place(CmdRenew, 5400, 2670, 1320, 375);
  place(VersionTxt, 120, 3240, 3600, 780);
  read_only(VersionTxt, true);
  place(KorvoLink1, 3960, 3300, 2760, 255);
  place(KorvoLink2, 3960, 3600, 2760, 255);
  // The links' targets as the window is designed: the service's support desk and home page.
  KorvoLink1.URL = controls::mailto_target("support@korvo-net.jp");
  KorvoLink2.URL = controls::http_target("www.korvo-net.jp/");
  place(Image1, 120, 4140, 600, 600);
  place(Label1, 840, 4320, 3000, 255);
}

void MainForm::reset_to_design() {
  const MainForm design;
  restore_design(design);
}

}  // namespace nimbra::shell
