// SPDX-License-Identifier: MIT
#include "tcpip/optimize_page.h"

#include <string>

#include "diag/reply_text.h"
#include "dialup/session/vbras32.h"
#include "shell/messages.h"
#include "tcpip/tcp_registry.h"

namespace nimbra::tcpip {

namespace {

constexpr int32_t kLargestMtu = 1500;
// Any text above this one, compared by character codes, starts with something other than a
// digit or holds more digits than any box takes.
constexpr std::string_view kTextCeiling = "99999999";

// The boxes hold only as many characters as they take from the keyboard; the texts the page
// puts in them are ASCII, so characters are bytes here.
void show_text(platform::TextBox& box, std::string_view text) {
  const auto limit = static_cast<size_t>(box.max_length.get());
  box.text = std::string(limit > 0 ? text.substr(0, limit) : text);
}

void enable_apply_on_difference(shell::AppContext& app) {
  if (app.TcpMtu != app.AppliedMtu || app.TcpRwin != app.AppliedRwin) {
    app.main_form.CmdApply.enabled = true;
  }
}

// The keys of the TCP/IP stack must be readable: without them the program cannot run.
[[noreturn]] void end_unreadable(shell::AppContext& app, int message) {
  shell::show_message(app, message);
  app.RasSession.reset();
  app.platform.window.end_program();
}

void preselect(shell::AppContext& app) {
  shell::MainForm& f = app.main_form;
  if (app.TcpMtu == 0) {
    f.TcpipOption[2].value = true;
  } else if (app.TcpMtu == app.MtuValue && app.TcpRwin == app.RwinValue) {
    f.TcpipOption[0].value = true;
  } else {
    // Selecting empties the boxes; the values shown then pass the boxes' own rules.
    const int32_t mtu = app.TcpMtu;
    const int32_t rwin = app.TcpRwin;
    f.TcpipOption[1].value = true;
    show_text(f.MtuTxt, std::to_string(mtu));
    show_text(f.RwinTxt, std::to_string(rwin));
  }
}

}  // namespace

void show_tcp_controls(shell::AppContext& app) {
  shell::MainForm& f = app.main_form;
  const bool win9x = app.RasSession->OSVer98;
  f.Frames[2].enabled = win9x;
  f.MtuRwinLab.visible = win9x;
  f.TcpipOption[0].visible = win9x;
  f.TcpipOption[2].visible = win9x;
}

void read_tcp_settings(shell::AppContext& app) {
  {
    const shell::RegKey class_net(app, platform::HKEY_LOCAL_MACHINE, kClassNetKey,
                                  platform::KEY_READ);
    if (!class_net.is_open()) end_unreadable(app, 112);
    for_each_dialup_adapter(app, class_net, platform::KEY_READ, [&app](const shell::RegKey& key) {
      app.TcpMtu = read_number(app, key, "MaxMTU").value_or(0);
    });
  }
  {
    const shell::RegKey mstcp(app, platform::HKEY_LOCAL_MACHINE, kMstcpKey, platform::KEY_READ);
    if (!mstcp.is_open()) end_unreadable(app, 113);
    app.TcpRwin = read_number(app, mstcp, "DefaultRcvWindow").value_or(0);
  }
  preselect(app);
  app.AppliedMtu = app.TcpMtu;
  app.AppliedRwin = app.TcpRwin;
}

void TcpipOption_Click(shell::AppContext& app) {
  shell::MainForm& f = app.main_form;
  if (f.TcpipOption[0].value) {
    show_text(f.MtuTxt, std::to_string(app.MtuValue));
    show_text(f.RwinTxt, std::to_string(app.RwinValue));
    app.TcpMtu = app.MtuValue;
    app.TcpRwin = app.RwinValue;
    f.MtuTxt.locked = true;
    f.RwinTxt.locked = true;
  } else if (f.TcpipOption[1].value) {
    f.MtuTxt.locked = false;
    f.RwinTxt.locked = false;
    f.MtuTxt.text = std::string();
    f.RwinTxt.text = std::string();
  } else if (f.TcpipOption[2].value) {
    f.MtuTxt.text = std::string();
    f.RwinTxt.text = std::string();
    app.TcpMtu = 0;
    app.TcpRwin = 0;
    f.MtuTxt.locked = true;
    f.RwinTxt.locked = true;
  } else {
    return;
  }
  enable_apply_on_difference(app);
}

// Setting a box's text from here raises its change again, which settles the value first.
void MtuTxt_Change(shell::AppContext& app) {
  platform::TextBox& box = app.main_form.MtuTxt;
  if (!box.enabled) return;
  if (box.text.get() > kTextCeiling) show_text(box, kTextCeiling);
  app.TcpMtu = diag::NumericField32(box.text.get());
  if (app.TcpMtu > kLargestMtu) {
    show_text(box, std::to_string(kLargestMtu));
    app.TcpMtu = kLargestMtu;
  } else if (app.TcpMtu < 1) {
    box.text = std::string();
    app.TcpMtu = 0;
  }
}

void RwinTxt_Change(shell::AppContext& app) {
  shell::MainForm& f = app.main_form;
  platform::TextBox& box = f.RwinTxt;
  if (!box.enabled) return;
  if (box.text.get() > kTextCeiling) show_text(box, kTextCeiling);
  app.TcpRwin = diag::NumericField32(box.text.get());
  if (app.TcpRwin < 1) {
    box.text = std::string();
    app.TcpRwin = 0;
  }
  // The window is never smaller than one packet.
  if (app.TcpRwin < app.TcpMtu) {
    box.text = f.MtuTxt.text.get();
    app.TcpRwin = app.TcpMtu;
  }
  enable_apply_on_difference(app);
}

}  // namespace nimbra::tcpip
