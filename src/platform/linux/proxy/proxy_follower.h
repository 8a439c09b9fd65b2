// SPDX-License-Identifier: MIT
// The rules by which the desktop's proxy follows a link: the user's own settings are saved
// before the first change; while the link is up the desktop carries the connection's proxy,
// and a new value is given at once; when the link goes down, or the connection's proxy is taken
// away, the user's own settings come back. A key is given back only while it still holds what
// was written to it: one the user changed by hand meanwhile keeps the user's change. The saved
// state lives in a file, so a later run gives the settings back after the program ended.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "platform/linux/proxy/connection_proxy.h"
#include "platform/linux/proxy/desktop_settings.h"
#include "platform/linux/proxy/proxy_state.h"

namespace nimbra::lnx {

class ProxyFollower {
 public:
  // The desktop settings of that name ("gnome", "kde"); nothing for another.
  using DesktopNamed = std::function<DesktopSettings*(std::string_view name)>;

  // `session` names the desktop in use (may be empty: none that has a proxy setting we know);
  // what happens is told on `log`, one line each.
  ProxyFollower(std::filesystem::path state_file, DesktopNamed desktops, std::string session,
                std::ostream& log);

  // The entry whose proxy the desktop carries, by the saved state (also from an earlier run).
  std::optional<std::string> entry() const;

  // The link of `entry` is up and its connection's proxy is `proxy` (nothing: it names none).
  void follow(const std::string& entry, const std::optional<ConnectionProxy>& proxy);

  // The link is down: the user's own settings come back and the saved state goes.
  void restore();

 private:
  void save(const ProxyState& state);

  std::filesystem::path state_file_;
  DesktopNamed desktops_;
  std::string session_;
  std::ostream& log_;
  std::optional<ProxyState> state_;
  bool told_no_desktop_ = false;
};

}  // namespace nimbra::lnx
