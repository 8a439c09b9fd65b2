// SPDX-License-Identifier: MIT
// The proxy in GSettings (GNOME and the desktops that use its settings), through the gsettings
// tool: org.gnome.system.proxy's mode and ignore-hosts, the host and port of its http and https
// children. Keys are "SCHEMA KEY"; values are GVariant text as gsettings prints them.
#pragma once

#include "platform/linux/proxy/desktop_settings.h"

namespace nimbra::lnx {

class GsettingsProxy final : public DesktopSettings {
 public:
  std::string_view name() const override { return "gnome"; }
  ProxySettings settings_for(const ConnectionProxy& proxy) const override;
  std::optional<ProxySettings> read(const std::vector<std::string>& keys) override;
  bool write(const ProxySettings& settings) override;
};

}  // namespace nimbra::lnx
