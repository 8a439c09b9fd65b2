// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/session_desktop.h"

#include <array>
#include <cstdlib>

#include "platform/linux/proxy/gsettings_proxy.h"
#include "platform/linux/proxy/kioslave_proxy.h"
#include "platform/text/ini_file.h"

namespace nimbra::lnx {

namespace {

constexpr std::array<std::string_view, 7> kGsettingsDesktops = {
    "GNOME", "GNOME-Classic", "GNOME-Flashback", "Unity", "Cinnamon", "X-Cinnamon", "Budgie"};

}  // namespace

std::string proxy_desktop_of(std::string_view xdg_current_desktop) {
  while (!xdg_current_desktop.empty()) {
    const size_t colon = xdg_current_desktop.find(':');
    const std::string_view name = xdg_current_desktop.substr(0, colon);
    if (platform::iequals(name, "KDE")) return "kde";
    for (const std::string_view gnome : kGsettingsDesktops) {
      if (platform::iequals(name, gnome)) return "gnome";
    }
    if (colon == std::string_view::npos) break;
    xdg_current_desktop.remove_prefix(colon + 1);
  }
  return "";
}

ProxyFollower session_follower(const std::filesystem::path& machine_dir, std::ostream& log) {
  // The desktops' settings hold nothing of their own: one of each serves every follower.
  static GsettingsProxy gsettings;
  static KioslaveProxy kioslave;
  const char* session = std::getenv("XDG_CURRENT_DESKTOP");
  return ProxyFollower(
      machine_dir / kProxyStateFile,
      [](std::string_view name) -> DesktopSettings* {
        if (name == gsettings.name()) return &gsettings;
        if (name == kioslave.name()) return &kioslave;
        return nullptr;
      },
      proxy_desktop_of(session ? session : ""), log);
}

}  // namespace nimbra::lnx
