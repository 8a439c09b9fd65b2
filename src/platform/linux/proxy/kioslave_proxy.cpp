// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/kioslave_proxy.h"

#include "platform/linux/proxy/tool_run.h"

namespace nimbra::lnx {

namespace {

// What kreadconfig5 prints for a key that is not set; no value holds it.
constexpr std::string_view kUnset = "\x01unset";

std::vector<std::string> tool(std::string_view program, const std::string& key) {
  return {std::string(program), "--file", "kioslaverc", "--group", "Proxy Settings", "--key", key};
}

std::string address(const std::optional<ProxyServer>& server) {
  return server ? "http://" + server->host + " " + std::to_string(server->port) : "";
}

}  // namespace

ProxySettings KioslaveProxy::settings_for(const ConnectionProxy& proxy) const {
  std::string direct;
  for (const std::string& host : direct_hosts(proxy)) direct += (direct.empty() ? "" : ",") + host;
  return {{"ProxyType", "1"},
          {"httpProxy", address(proxy.http)},
          {"httpsProxy", address(proxy.https)},
          {"NoProxyFor", direct},
          {"ReversedException", "false"}};
}

std::optional<ProxySettings> KioslaveProxy::read(const std::vector<std::string>& keys) {
  ProxySettings settings;
  for (const std::string& key : keys) {
    auto args = tool("kreadconfig5", key);
    args.insert(args.end(), {"--default", std::string(kUnset)});
    auto value = run_tool(args);
    if (!value) return std::nullopt;
    if (value->ends_with('\n')) value->pop_back();
    settings[key] = *value == kUnset ? std::nullopt : std::optional(std::move(*value));
  }
  return settings;
}

bool KioslaveProxy::write(const ProxySettings& settings) {
  bool written = true;
  for (const auto& [key, value] : settings) {
    auto args = tool("kwriteconfig5", key);
    if (value) {
      args.push_back(*value);
    } else {
      args.push_back("--delete");
    }
    written = run_tool(args).has_value() && written;
  }
  return written;
}

}  // namespace nimbra::lnx
