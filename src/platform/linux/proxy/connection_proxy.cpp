// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/connection_proxy.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace nimbra::lnx {

namespace {

constexpr uint32_t kUseProxyServer = 2;
constexpr size_t kMaxText = 4096;

// Reads the value's fields in order; every read past its end fails.
class Fields {
 public:
  explicit Fields(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  std::optional<uint32_t> number() {
    if (bytes_.size() - at_ < 4) return std::nullopt;
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = n << 8 | bytes_[at_ + i];
    at_ += 4;
    return n;
  }

  std::optional<std::string> text() {
    const auto length = number();
    if (!length || *length > kMaxText || bytes_.size() - at_ < *length) return std::nullopt;
    std::string t(reinterpret_cast<const char*>(bytes_.data() + at_), *length);
    at_ += *length;
    return t;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

bool host_character(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-' || c == '_';
}

bool pattern_character(char c) {
  return host_character(c) || c == '*' || c == '/' || c == ':';
}

// The text's items, split at ';', ',' and blanks.
std::vector<std::string_view> items(std::string_view text) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && std::string_view(";, \t\r\n").find(text[i]) == std::string_view::npos) {
      continue;
    }
    if (i > start) out.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  return out;
}

// "host:port", or "host" for port 80, as the browser takes it.
std::optional<ProxyServer> server(std::string_view text) {
  ProxyServer s;
  const size_t colon = text.rfind(':');
  s.port = 80;
  if (colon != std::string_view::npos) {
    const std::string_view port = text.substr(colon + 1);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535) {
      return std::nullopt;
    }
    s.port = static_cast<uint16_t>(value);
    text = text.substr(0, colon);
  }
  if (text.empty() || !std::all_of(text.begin(), text.end(), host_character)) return std::nullopt;
  s.host = std::string(text);
  return s;
}

std::string lower(std::string_view s) {
  std::string l(s);
  std::transform(l.begin(), l.end(), l.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  return l;
}

}  // namespace

std::optional<ConnectionProxy> decode_connection_proxy(std::span<const uint8_t> value) {
  Fields fields(value);
  const auto version = fields.number();
  const auto counter = fields.number();
  const auto flags = fields.number();
  const auto servers = fields.text();
  const auto bypass = fields.text();
  if (!version || !counter || !flags || !servers || !bypass) return std::nullopt;
  if ((*flags & kUseProxyServer) == 0) return std::nullopt;
  ConnectionProxy proxy;
  for (const std::string_view item : items(*servers)) {
    const size_t equals = item.find('=');
    const auto found = server(equals == std::string_view::npos ? item : item.substr(equals + 1));
    if (!found) continue;
    const std::string protocol =
        equals == std::string_view::npos ? "" : lower(item.substr(0, equals));
    if (protocol.empty() || protocol == "http") proxy.http = proxy.http.value_or(*found);
    if (protocol.empty() || protocol == "https") proxy.https = proxy.https.value_or(*found);
  }
  if (!proxy.http && !proxy.https) return std::nullopt;
  for (const std::string_view item : items(*bypass)) {
    if (item == "<local>" || std::all_of(item.begin(), item.end(), pattern_character)) {
      proxy.bypass.emplace_back(lower(item));
    }
  }
  return proxy;
}

std::string describe(const ConnectionProxy& proxy) {
  const auto of = [](const std::optional<ProxyServer>& s) {
    return s ? s->host + ":" + std::to_string(s->port) : std::string("-");
  };
  std::string text = "http=" + of(proxy.http) + " https=" + of(proxy.https) + " bypass=";
  for (size_t i = 0; i < proxy.bypass.size(); ++i) {
    text += (i ? ";" : "") + proxy.bypass[i];
  }
  return text;
}

}  // namespace nimbra::lnx
