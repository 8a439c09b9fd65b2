// SPDX-License-Identifier: MIT
#include "tcpip/apply_tcp.h"

#include "shell/messages.h"
#include "tcpip/tcp_registry.h"

namespace nimbra::tcpip {

namespace {

// IP and TCP headers take 40 bytes of each packet.
constexpr int64_t kHeaderBytes = 40;

// The segment size that goes with `mtu`. An MTU of 40 or less leaves no room for data, and with
// the Windows default MTU (0) there is no MTU to derive one from: then no segment size is
// stored, so that the stack derives its own from the MTU in force, rather than a negative one.
void write_segment_size(shell::AppContext& app, const shell::RegKey& key,
                        std::string_view value_name, int32_t mtu) {
  const int64_t segment = int64_t{mtu} - kHeaderBytes;
  if (segment >= 1) {
    write_number(app, key, value_name, segment);
  } else {
    delete_value(app, key, value_name);
  }
}

void write_adapter(shell::AppContext& app, const shell::RegKey& adapter) {
  if (app.TcpMtu != 0) {
    write_number(app, adapter, "MaxMTU", app.TcpMtu);
    write_segment_size(app, adapter, "MaxMSS", app.TcpMtu);
  } else {
    delete_value(app, adapter, "MaxMTU");
    delete_value(app, adapter, "MaxMSS");
  }
  write_number(app, adapter, "IPMTU", app.TcpMtu);
}

void ask_for_restart(shell::AppContext& app) {
  platform::Window& window = app.platform.window;
  const std::string_view title = app.catalogue.text(107);
  if (window.message_box(app.catalogue.text(155), title, platform::MsgBoxButtons::Ok) ==
      platform::MsgBoxResult::Ok) {
    window.ExitWindowsEx(platform::EWX_REBOOT, 0);
  } else {
    window.message_box(app.catalogue.text(108), title, platform::MsgBoxButtons::Ok);
  }
}

}  // namespace

void ApplyTcpSettings(shell::AppContext& app) {
  {
    const shell::RegKey class_net(app, platform::HKEY_LOCAL_MACHINE, kClassNetKey,
                                  platform::KEY_READ);
    if (!class_net.is_open()) return shell::show_message(app, 114);
    // The Windows 9x registry lets a key opened for writing be read as well.
    for_each_dialup_adapter(app, class_net, platform::KEY_WRITE,
                            [&app](const shell::RegKey& adapter) { write_adapter(app, adapter); });
  }
  {
    const shell::RegKey mstcp(app, platform::HKEY_LOCAL_MACHINE, kMstcpKey, platform::KEY_WRITE);
    if (!mstcp.is_open()) return shell::show_message(app, 115);
    if (app.TcpRwin != 0) {
      write_number(app, mstcp, "DefaultRcvWindow", app.TcpRwin);
      write_segment_size(app, mstcp, "DefaultMSS", app.TcpMtu);
    } else {
      delete_value(app, mstcp, "DefaultRcvWindow");
      delete_value(app, mstcp, "DefaultMSS");
    }
  }
  ask_for_restart(app);
}

}  // namespace nimbra::tcpip
