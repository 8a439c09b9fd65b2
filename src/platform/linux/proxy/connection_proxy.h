// SPDX-License-Identifier: MIT
// A connection's proxy value as the browser stores it per dial-up entry: format version,
// change counter, flags (2 = use the proxy server), the proxy server text ("http=host:port;..."
// or one "host:port" for every protocol), the bypass list ("<local>;*.example.com") and the
// automatic configuration URL, each text after its 32-bit little-endian length.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace nimbra::lnx {

struct ProxyServer {
  std::string host;
  uint16_t port = 0;
  friend bool operator==(const ProxyServer&, const ProxyServer&) = default;
};

struct ConnectionProxy {
  std::optional<ProxyServer> http;
  std::optional<ProxyServer> https;
  std::vector<std::string> bypass;  // host patterns; "<local>" for names without a dot
  friend bool operator==(const ConnectionProxy&, const ConnectionProxy&) = default;
};

// The proxy the value sends web traffic through; nothing when it names no usable server (the
// flag is off, the text is empty or names only other protocols) or its bytes do not hold the
// layout. Host names and patterns with characters no host has are left out.
std::optional<ConnectionProxy> decode_connection_proxy(std::span<const uint8_t> value);

// "http=host:port https=- bypass=a;b", for the state file and for messages.
std::string describe(const ConnectionProxy& proxy);

}  // namespace nimbra::lnx
