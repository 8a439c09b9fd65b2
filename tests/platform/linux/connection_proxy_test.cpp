// SPDX-License-Identifier: MIT
// The connection's stored proxy value decoded into the servers and bypass list the desktop is
// given.
#include "platform/linux/proxy/connection_proxy.h"

#include <gtest/gtest.h>

#include "accel/proxy_blob.h"
#include "accel/service_endpoints.h"

namespace nimbra {
namespace {

using lnx::ConnectionProxy;
using lnx::ProxyServer;

void put(std::vector<uint8_t>& bytes, uint32_t n) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(n >> (8 * i)));
}

void put(std::vector<uint8_t>& bytes, std::string_view text) {
  put(bytes, static_cast<uint32_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

std::vector<uint8_t> value(uint32_t flags, std::string_view servers, std::string_view bypass) {
  std::vector<uint8_t> bytes;
  put(bytes, 60);
  put(bytes, 7);
  put(bytes, flags);
  put(bytes, servers);
  put(bytes, bypass);
  put(bytes, 0);
  return bytes;
}

// The values the accelerator writes name their server for HTTP only; the value without a proxy
// names none.
TEST(ConnectionProxy, AcceleratorValues) {
  const std::string breeze = "http=" + std::string(accel::service::kBreezeHost) + ":32080";
  const auto blob = accel::make_proxy_blob(1, breeze, accel::kProxyValueLength);
  const auto proxy = lnx::decode_connection_proxy(blob.value());
  ASSERT_TRUE(proxy);
  EXPECT_EQ(proxy->http, (ProxyServer{std::string(accel::service::kBreezeHost), 32080}));
  EXPECT_FALSE(proxy->https);
  EXPECT_TRUE(proxy->bypass.empty());
  const auto none = accel::make_proxy_blob(2, "", accel::kNoProxyValueLength);
  EXPECT_FALSE(lnx::decode_connection_proxy(none.value()));
}

// Each form of the server text and bypass list, and values that give no proxy.
TEST(ConnectionProxy, Forms) {
  const ProxyServer a{"a.example", 8080};
  const ProxyServer b{"b.example", 3128};
  struct Row {
    std::vector<uint8_t> bytes;
    std::optional<ConnectionProxy> proxy;
  };
  const Row rows[] = {
      {value(3, "a.example:8080", ""), ConnectionProxy{a, a, {}}},
      {value(3, "HTTP=a.example:8080; https=b.example:3128", ""), ConnectionProxy{a, b, {}}},
      {value(3, "http=a.example", ""), ConnectionProxy{ProxyServer{"a.example", 80}, {}, {}}},
      {value(3, "http=a.example:8080", "<local>;*.Corp.example, 10.0.0.0/8 bad'host"),
       ConnectionProxy{a, {}, {"<local>", "*.corp.example", "10.0.0.0/8"}}},
      {value(1, "http=a.example:8080", ""), std::nullopt},   // direct only
      {value(3, "ftp=a.example:21", ""), std::nullopt},      // no web protocol
      {value(3, "http=a.example:0", ""), std::nullopt},      // no such port
      {value(3, "http=a.example:65536", ""), std::nullopt},  // no such port
      {value(3, "http=a.example:80x", ""), std::nullopt},
      {value(3, "http=ev'il:80", ""), std::nullopt},  // not a host name
      {value(3, "http=:80", ""), std::nullopt},
      {{60, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 200, 0, 0, 0, 'a'}, std::nullopt},  // cut short
      {{60, 0, 0}, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(
        std::string(row.bytes.begin() + std::min<size_t>(row.bytes.size(), 16), row.bytes.end()));
    EXPECT_EQ(lnx::decode_connection_proxy(row.bytes), row.proxy);
  }
}

}  // namespace
}  // namespace nimbra
