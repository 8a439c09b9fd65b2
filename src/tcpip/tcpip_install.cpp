// SPDX-License-Identifier: MIT
#include "tcpip/tcpip_install.h"

#include "tcpip/apply_tcp.h"
#include "tcpip/optimize_page.h"

namespace nimbra::tcpip {

void install_tcpip(shell::AppContext& app) {
  app.show_tcp_controls = show_tcp_controls;
  app.read_tcp_settings = read_tcp_settings;
  app.apply_tcp_settings = ApplyTcpSettings;
  shell::MainForm& form = app.main_form;
  for (const auto& option : form.TcpipOption) {
    option->on_click = [&app] { TcpipOption_Click(app); };
  }
  form.MtuTxt.on_change = [&app] { MtuTxt_Change(app); };
  form.RwinTxt.on_change = [&app] { RwinTxt_Change(app); };
}

}  // namespace nimbra::tcpip
