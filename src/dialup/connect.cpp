// SPDX-License-Identifier: MIT
#include "dialup/connect.h"

#include <memory>
#include <optional>
#include <string>

#include "detect/device_catalogue.h"
#include "diag/at_channel.h"
#include "dialup/card_query.h"
#include "dialup/dial_events.h"
#include "dialup/session/vbras32.h"
#include "shell/messages.h"

namespace nimbra::dialup {

namespace {

std::string_view trim_blanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Characters, not bytes: a name in Japanese is counted as the user sees it.
size_t character_count(std::string_view utf8) {
  size_t count = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

bool too_short(const shell::TextBox& box) {
  return character_count(trim_blanks(box.text.get())) <= 2;
}

// The card's port cannot be opened (another program holds it).
void refuse_port(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  shell::show_message(app, 165);
  form.CmdConnect.enabled = true;
  form.CmdCancel.enabled = false;
  form.CmdApply.enabled = false;
  form.CmdStop.enabled = false;
}

void refuse_card(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  form.CmdConnect.enabled = true;
  form.CmdDiscnct.enabled = false;
  form.CmdLimit.enabled = false;
  shell::show_message(app, 119);
}

// Opens the selected modem's port, asks the card, closes the port. Nothing when the port
// cannot be opened; otherwise the model code, empty when the card gave none.
std::optional<std::string> ask_card(shell::AppContext& app, int16_t port) {
  diag::AtChannel channel(app.platform.comm, app.platform.kernel);
  if (!channel.OpenForConnect(port)) return std::nullopt;
  std::string model = query_model_code(channel);
  query_phs_number(channel, app.PhsNumber);
  channel.comm().set_PortOpen(false);
  return model;
}

}  // namespace

void StartConnect(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  const std::shared_ptr<VBRas32> session = app.RasSession;
  if (session->SeekEnumConns(kEntryName, true)) return;
  if (too_short(form.UserTxt)) {
    shell::show_message(app, 117);
    return;
  }
  if (too_short(form.PassTxt)) {
    shell::show_message(app, 118);
    return;
  }
  form.CmdConnect.enabled = false;
  form.CmdDiscnct.enabled = false;
  form.CmdLimit.enabled = false;
  // Without a selected modem there is no port to ask.
  const int slot = form.ModemCombo.list_index;
  if (slot < 0 || static_cast<size_t>(slot) >= app.ModemList.size()) return;
  const auto model = ask_card(app, app.ModemList[static_cast<size_t>(slot)].port);
  if (!model) {
    refuse_port(app);
    return;
  }
  if (detect::find_by_model_code(*model) == nullptr) {
    refuse_card(app);
    return;
  }
  PrepareDial(app);
  session->PutEnumUserName(0, form.UserTxt.text.get());
  session->PutEnumPassword(0, form.PassTxt.text.get());
  app.RedialArmed = form.RedialCheck.value == 1;
  // A dial refused at once has been reported by the session; a started one reports through
  // the dial events.
  session->Dialup();
}

void PrepareDial(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  VBRas32& session = *app.RasSession;
  session.Entry(kEntryName);
  const int point = form.AccPtCmb.list_index;
  if (point == 0 || point == 1) {
    const std::string& number = app.AccessPoints[static_cast<size_t>(point)];
    if (form.AccMode[0].value) {
      session.PhoneNum(std::string(kSingleLinkPrefix) + number);
    } else if (form.AccMode[1].value) {
      session.PhoneNum(std::string(kMultiLinkPrefix) + number);
    }
  }
  session.UserID(trim_blanks(form.UserTxt.text.get()));
  session.Password(trim_blanks(form.PassTxt.text.get()));
  session.Domain("");
}

void Disconnect(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  app.platform.window.do_events();
  form.CmdConnect.enabled = false;
  form.CmdDiscnct.enabled = false;
  form.CmdLimit.enabled = false;
  app.ConnState = 4;
  app.RasSession->HangUp();
  app.ConnState = 0;
  form.CmdConnect.enabled = true;
  form.StatusLbl.caption = app.catalogue.str(103);
  form.FrameMode.enabled = true;
}

void Close(shell::AppContext& app) {
  restore_window_procedure(app);
  app.RasSession.reset();
  app.platform.window.end_program();
}

void Stop(shell::AppContext& app) {
  app.StopRequested = true;
}

void EditNotice(shell::AppContext& app) {
  app.main_form.CmdApply.enabled = true;
}

}  // namespace nimbra::dialup
