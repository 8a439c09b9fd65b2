// SPDX-License-Identifier: MIT
// The desktop in use and the follower of its proxy.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/linux/proxy/proxy_follower.h"

namespace nimbra::lnx {

// From XDG_CURRENT_DESKTOP (a colon list such as "ubuntu:GNOME"): "kde" for Plasma, "gnome" for
// GNOME and the desktops that keep the proxy in its settings, empty for any other.
std::string proxy_desktop_of(std::string_view xdg_current_desktop);

// The follower for the machine in `machine_dir` (its state file is there) on the desktop in
// use, through the desktops' own tools.
ProxyFollower session_follower(const std::filesystem::path& machine_dir, std::ostream& log);

}  // namespace nimbra::lnx
