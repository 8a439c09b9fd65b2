// SPDX-License-Identifier: MIT
#include "accel/proxy_value.h"

#include "shell/registry_access.h"

namespace nimbra::accel {

bool write_proxy_value(shell::AppContext& app, const shell::ProxyBlob* blob) {
  const shell::RegKey key(app, platform::HKEY_CURRENT_USER, kConnectionsKey, platform::KEY_WRITE);
  if (!key.is_open()) return false;
  platform::Registry& registry = app.platform.registry;
  if (blob != nullptr) {
    registry.RegSetValueExA(key.handle(), kProxyValueName, 0, platform::REG_BINARY, blob->value());
  }
  registry.RegFlushKey(key.handle());
  return true;
}

}  // namespace nimbra::accel
