// SPDX-License-Identifier: MIT
// The main window's controls, by the names the logic uses, in their containers.
#pragma once

#include "controls/link_label.h"
#include "platform/controls/controls.h"

namespace nimbra::shell {

using namespace platform;  // NOLINT: the form reads as the control list it is

// The signal lamps stand in columns, one per channel, lit from the first of the column up.
inline constexpr int kSignalColumns = 13;
inline constexpr int kLampsPerColumn = 5;

struct MainForm : Form {
  MainForm();

  // Every control back as the window was designed, as an unload leaves it for the next load.
  void reset_to_design();

  TabStrip KorvoTab{this, "KorvoTab"};
  ControlArray<Frame> Frames{this, "Frames", 0, 4};
  Frame Frame2{this, "Frame2"};
  PictureBox StatusLump{&Frame2, "StatusLump"};
  ControlArray<Label> ServiceLbl{this, "ServiceLbl", 0, 1};
  Button CmdCancel{this, "CmdCancel"};
  Button CmdApply{this, "CmdApply"};
  Timer Timer1{this, "Timer1"};

  // Page 1: Dial-up.
  Frame& page1 = Frames[0];
  Label AccPtLab{&page1, "AccPtLab"};
  ComboBox AccPtCmb{&page1, "AccPtCmb"};
  Label UserLab{&page1, "UserLab"};
  TextBox UserTxt{&page1, "UserTxt"};
  Label PassLbl{&page1, "PassLbl"};
  TextBox PassTxt{&page1, "PassTxt"};
  Button CmdConnect{&page1, "CmdConnect"};
  Button CmdDiscnct{&page1, "CmdDiscnct"};
  Button CmdStop{&page1, "CmdStop"};
  Frame FrameMode{&page1, "FrameMode"};
  ControlArray<OptionButton> AccMode{&FrameMode, "AccMode", 0, 1};
  CheckBox RedialCheck{&page1, "RedialCheck"};
  ControlArray<Label> AutoDialLAb{&page1, "AutoDialLAb", 0, 1};
  ControlArray<TextBox> AutoDialTxt{&page1, "AutoDialTxt", 0, 1};
  CheckBox SingleChk{&page1, "SingleChk"};
  Frame FrameStatus{&page1, "FrameStatus"};
  Label StatusLbl{&FrameStatus, "StatusLbl"};
  Frame FrameLimit{&page1, "FrameLimit"};
  Label LblLimit{&FrameLimit, "LblLimit"};
  Button CmdLimit{&FrameLimit, "CmdLimit"};

  // Page 2: Accelerator.
  Frame& page2 = Frames[1];
  Frame WebAccel{&page2, "WebAccel"};
  ControlArray<OptionButton> AccOption{&WebAccel, "AccOption", 0, 3};
  TextBox AccTxt{&page2, "AccTxt"};
  TextBox NoaccTxt{&page2, "NoaccTxt"};
  Frame InternetCache{&page2, "InternetCache"};
  CheckBox CheckCash{&InternetCache, "CheckCash"};
  ProgressBar ProgressBar1{&InternetCache, "ProgressBar1"};
  Label LabProgress{&InternetCache, "LabProgress"};
  ListBox List1{&page2, "List1"};

  // Page 3: Optimize.
  Frame& page3 = Frames[2];
  Label MtuRwinLab{&page3, "MtuRwinLab"};
  ControlArray<OptionButton> TcpipOption{&page3, "TcpipOption", 0, 2};
  Label MtuLab{&page3, "MtuLab"};
  TextBox MtuTxt{&page3, "MtuTxt"};
  Label RwinLab{&page3, "RwinLab"};
  TextBox RwinTxt{&page3, "RwinTxt"};
  TextBox MtuRwinTxt{&page3, "MtuRwinTxt"};

  // Page 4: CardInfo.
  Frame& page4 = Frames[3];
  Label ModemLbl{&page4, "ModemLbl"};
  TextBox ModemTxt{&page4, "ModemTxt"};
  Label LabPHSNo{&page4, "LabPHSNo"};
  TextBox TxtPhsNo{&page4, "TxtPhsNo"};
  Label LabVersion{&page4, "LabVersion"};
  TextBox TxtVersion{&page4, "TxtVersion"};
  Frame WaveFrame{&page4, "WaveFrame"};
  ControlArray<PictureBox> Picture1{&WaveFrame, "Picture1", 0, kSignalColumns* kLampsPerColumn - 1};
  Frame LnkFrm{&page4, "LnkFrm"};
  ControlArray<PictureBox> Picture2{&LnkFrm, "Picture2", 0, 3};
  CheckBox ReconnectCheck{&page4, "ReconnectCheck"};
  Button CmdAnalyze{&page4, "CmdAnalyze"};
  Label MsureTxt{&page4, "MsureTxt"};

  // Page 5: Option.
  Frame& page5 = Frames[4];
  Label SetTreeLbl{&page5, "SetTreeLbl"};
  TreeView SettingTree{&page5, "SettingTree"};
  ControlArray<OptionButton> ServiceOption{&page5, "ServiceOption", 0, 2};
  Label ModemLab{&page5, "ModemLab"};
  ComboBox ModemCombo{&page5, "ModemCombo"};
  Button CmdRenew{&page5, "CmdRenew"};
  TextBox VersionTxt{&page5, "VersionTxt"};
  controls::LinkLabel KorvoLink1{&page5, "KorvoLink1"};
  controls::LinkLabel KorvoLink2{&page5, "KorvoLink2"};
  PictureBox Image1{&page5, "Image1"};
  Label Label1{&page5, "Label1"};
};

}  // namespace nimbra::shell
