// SPDX-License-Identifier: MIT
// One desktop's proxy settings, reached through the desktop's own tools: each key's value as
// the tool shows it, or nothing for a key that is not set.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/proxy/connection_proxy.h"

namespace nimbra::lnx {

using ProxySettings = std::map<std::string, std::optional<std::string>>;

class DesktopSettings {
 public:
  virtual ~DesktopSettings() = default;

  // The name the saved state knows the desktop by ("gnome", "kde").
  virtual std::string_view name() const = 0;

  // Every key the desktop's proxy lives in, with the values that send web traffic through
  // `proxy`; loopback addresses always go direct.
  virtual ProxySettings settings_for(const ConnectionProxy& proxy) const = 0;

  // The values of `keys` now; nothing when the desktop's tool cannot be asked.
  virtual std::optional<ProxySettings> read(const std::vector<std::string>& keys) = 0;

  // Sets each key to its value and unsets a key without one; false when a change failed.
  virtual bool write(const ProxySettings& settings) = 0;
};

// The hosts that go direct: this computer itself, which a proxy at the far end of the link
// cannot reach, then the value's bypass list. Desktops have no pattern for "<local>" (names
// without a dot); this computer's own names stand in for it.
inline std::vector<std::string> direct_hosts(const ConnectionProxy& proxy) {
  std::vector<std::string> hosts = {"localhost", "127.0.0.0/8", "::1"};
  for (const std::string& host : proxy.bypass) {
    if (host != "<local>") hosts.push_back(host);
  }
  return hosts;
}

// The keys of `settings`.
inline std::vector<std::string> keys_of(const ProxySettings& settings) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : settings) keys.push_back(key);
  return keys;
}

}  // namespace nimbra::lnx
