// SPDX-License-Identifier: MIT
#include "platform/web/http_url.h"

namespace nimbra::platform {

namespace {

bool is_host_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.';
}

}  // namespace

std::string_view describe_http_error(uint32_t code) {
  switch (code) {
    case ERROR_INTERNET_TIMEOUT:
      return "The request timed out";
    case ERROR_INTERNET_INVALID_URL:
      return "The URL is invalid";
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return "The server name could not be resolved";
    case ERROR_INTERNET_CANNOT_CONNECT:
      return "A connection with the server could not be established";
    case ERROR_INTERNET_CONNECTION_ABORTED:
      return "The connection with the server was closed";
    default:
      return "The server returned an invalid or unrecognized response";
  }
}

bool parse_http_url(std::string_view url, HttpUrl& parsed) {
  constexpr std::string_view kScheme = "http://";
  if (!url.starts_with(kScheme)) return false;
  url.remove_prefix(kScheme.size());
  const size_t slash = url.find('/');
  std::string_view authority = url.substr(0, slash);
  const std::string_view target = slash == std::string_view::npos ? "/" : url.substr(slash);
  uint32_t port = 80;
  if (const size_t colon = authority.find(':'); colon != std::string_view::npos) {
    const std::string_view digits = authority.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return false;
    port = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return false;
      port = port * 10 + static_cast<uint32_t>(c - '0');
    }
    if (port == 0 || port > 65535) return false;
    authority = authority.substr(0, colon);
  }
  if (authority.empty()) return false;
  for (const char c : authority) {
    if (!is_host_char(c)) return false;
  }
  for (const char c : target) {
    // Only escaped, printable ASCII goes on the request line.
    if (c <= ' ' || c >= 0x7F) return false;
  }
  parsed.host = std::string(authority);
  parsed.port = static_cast<uint16_t>(port);
  parsed.target = std::string(target);
  return true;
}

}  // namespace nimbra::platform
