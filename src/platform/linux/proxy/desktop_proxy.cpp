// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/desktop_proxy.h"

namespace nimbra::lnx {

namespace {

constexpr std::string_view kConnectionsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
constexpr uint32_t kPollMs = 2000;
constexpr size_t kMaxValue = 8192;

}  // namespace

DesktopProxy::DesktopProxy(platform::Registry& registry, platform::TaskTimer& timer, Link link,
                           ProxyFollower follower)
    : registry_(registry),
      timer_(timer),
      link_(std::move(link)),
      follower_(std::move(follower)),
      following_(follower_.entry()) {
  look();
}

DesktopProxy::~DesktopProxy() {
  timer_.cancel(soon_);
  timer_.cancel(poll_);
}

void DesktopProxy::changed() {
  if (soon_ != 0) return;
  soon_ = timer_.after(0, [this] {
    soon_ = 0;
    look();
  });
}

void DesktopProxy::look() {
  timer_.cancel(poll_);
  poll_ = 0;
  if (following_ && !link_.up(*following_)) {
    follower_.restore();
    following_.reset();
  }
  if (!following_) {
    const auto connected = link_.connected();
    if (!connected.empty()) following_ = connected.front();
  }
  if (!following_) return;
  follower_.follow(*following_, stored_proxy(*following_));
  poll_ = timer_.after(kPollMs, [this] {
    poll_ = 0;
    look();
  });
}

std::optional<ConnectionProxy> DesktopProxy::stored_proxy(const std::string& entry) {
  platform::HKEY key = 0;
  if (registry_.RegOpenKeyExA(platform::HKEY_CURRENT_USER, kConnectionsKey, 0, platform::KEY_READ,
                              key) != platform::ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<uint8_t> value(kMaxValue);
  uint32_t size = static_cast<uint32_t>(value.size());
  uint32_t type = 0;
  const int32_t read = registry_.RegQueryValueExA(key, entry, &type, value, size);
  registry_.RegCloseKey(key);
  if (read != platform::ERROR_SUCCESS || type != platform::REG_BINARY) return std::nullopt;
  value.resize(size);
  return decode_connection_proxy(value);
}

}  // namespace nimbra::lnx
