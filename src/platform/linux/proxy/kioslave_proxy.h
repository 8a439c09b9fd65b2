// SPDX-License-Identifier: MIT
// The proxy of KDE Plasma, in the [Proxy Settings] group of kioslaverc, through kreadconfig5
// and kwriteconfig5: ProxyType (1 = manual), httpProxy and httpsProxy as Plasma writes them
// ("http://host port"), NoProxyFor (a comma list) and ReversedException (off: the list is
// the hosts that go direct).
#pragma once

#include "platform/linux/proxy/desktop_settings.h"

namespace nimbra::lnx {

class KioslaveProxy final : public DesktopSettings {
 public:
  std::string_view name() const override { return "kde"; }
  ProxySettings settings_for(const ConnectionProxy& proxy) const override;
  std::optional<ProxySettings> read(const std::vector<std::string>& keys) override;
  bool write(const ProxySettings& settings) override;
};

}  // namespace nimbra::lnx
