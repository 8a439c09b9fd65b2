// SPDX-License-Identifier: MIT
// What the desktop's proxy was before the link's proxy was given to it, kept in a file of its
// own in the machine directory, so that a later run gives it back when the link went down while
// no program watched it. Values are kept exactly (quoted, or "-" for a key that was not set).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux/proxy/desktop_settings.h"

namespace nimbra::lnx {

// Its name in the machine directory.
inline constexpr char kProxyStateFile[] = "desktop-proxy.ini";

struct ProxyState {
  std::string desktop;    // the desktop's name
  std::string entry;      // the entry whose link carries the proxy (ANSI)
  std::string proxy;      // the proxy given, as describe() says it
  ProxySettings saved;    // the user's own settings
  ProxySettings written;  // what the desktop showed after the change

  // Nothing when there is no file. A file that cannot be read as one is set aside under
  // FILE.bad, so that it is neither lost nor taken for a state.
  static std::optional<ProxyState> load(const std::filesystem::path& file);
  // Replaces the file atomically; false when it could not be written.
  bool save(const std::filesystem::path& file) const;
};

}  // namespace nimbra::lnx
