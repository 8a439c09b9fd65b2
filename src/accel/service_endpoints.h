// SPDX-License-Identifier: MIT
// The service's endpoints, in one place: the access points the program dials, the proxy
// servers it points the browser at and the validity server it asks. Every proxy text ("http=" +
// host + ":" + port) must fit the 82-byte proxy value, which leaves 47 characters for a host name.
#pragma once

#include <string_view>

namespace nimbra::accel::service {

// Access points. The Q300 and QTIME plans share the main number the catalogue shows (1067).
inline constexpr std::string_view kQ300MainNumber = "0570000300";
inline constexpr std::string_view kQPostMainNumber = "0570000320";
inline constexpr std::string_view kRenewalNumber = "0570000390";

// Proxies: the three accelerator speeds and the Q-POST plan's own proxy.
inline constexpr std::string_view kDriftHost = "drift.accel.korvo-net.jp";
inline constexpr std::string_view kBreezeHost = "breeze.accel.korvo-net.jp";
inline constexpr std::string_view kZephyrHost = "zephyr.accel.korvo-net.jp";
inline constexpr std::string_view kAcceleratorPort = "32080";
inline constexpr std::string_view kQPostProxyHost = "proxy.qpost.korvo-net.jp";
inline constexpr std::string_view kQPostProxyPort = "4126";

// The validity server, which tells how long a prepaid line stays valid.
inline constexpr std::string_view kValidityHost = "limit.korvo-net.jp";

}  // namespace nimbra::accel::service
