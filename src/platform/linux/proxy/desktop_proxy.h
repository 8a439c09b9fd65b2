// SPDX-License-Identifier: MIT
// The desktop's proxy following the link of a machine whose calls are real: while the link of
// a connected entry is up, the proxy value stored for that entry under the browser's
// Connections key is given to the desktop; a change of the value is given at once, and the
// user's own settings come back when the link goes down (see ProxyFollower for the rules).
// It looks again after each change it is told of (a state of a call, a hang-up, a registry
// write) and, while it follows a link, every two seconds: a link that an earlier run brought up
// ends without a report.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/proxy/proxy_follower.h"
#include "platform/registry.h"
#include "platform/task_timer.h"

namespace nimbra::lnx {

class DesktopProxy {
 public:
  struct Link {
    // The entries whose links are up, in the order they came up (ANSI names).
    std::function<std::vector<std::string>()> connected;
    // Whether the link of the entry is up.
    std::function<bool(std::string_view entry)> up;
  };

  // Looks first at once: a link that went down while no program watched it gives the user's
  // settings back now.
  DesktopProxy(platform::Registry& registry, platform::TaskTimer& timer, Link link,
               ProxyFollower follower);
  ~DesktopProxy();
  DesktopProxy(const DesktopProxy&) = delete;
  DesktopProxy& operator=(const DesktopProxy&) = delete;

  // Something the proxy may follow changed: it is looked at from the event loop, once.
  void changed();

 private:
  void look();
  std::optional<ConnectionProxy> stored_proxy(const std::string& entry);

  platform::Registry& registry_;
  platform::TaskTimer& timer_;
  Link link_;
  ProxyFollower follower_;
  std::optional<std::string> following_;
  platform::TaskTimer::TaskId soon_ = 0;
  platform::TaskTimer::TaskId poll_ = 0;
};

}  // namespace nimbra::lnx
