// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/gsettings_proxy.h"

#include "platform/linux/proxy/tool_run.h"

namespace nimbra::lnx {

namespace {

// Host names and patterns hold no quote or backslash (the decoding keeps none), so quoting
// them gives the text gsettings prints back.
std::string quoted(std::string_view s) {
  return "'" + std::string(s) + "'";
}

// {"SCHEMA", "KEY"} of "SCHEMA KEY".
std::pair<std::string, std::string> schema_and_key(const std::string& key) {
  const size_t space = key.find(' ');
  return {key.substr(0, space), space == std::string::npos ? "" : key.substr(space + 1)};
}

void add_server(ProxySettings& settings, std::string_view schema,
                const std::optional<ProxyServer>& server) {
  const std::string prefix = "org.gnome.system.proxy." + std::string(schema) + " ";
  settings[prefix + "host"] = quoted(server ? server->host : "");
  settings[prefix + "port"] = std::to_string(server ? server->port : 0);
}

}  // namespace

ProxySettings GsettingsProxy::settings_for(const ConnectionProxy& proxy) const {
  ProxySettings settings;
  settings["org.gnome.system.proxy mode"] = quoted("manual");
  std::string ignore;
  for (const std::string& host : direct_hosts(proxy)) {
    ignore += (ignore.empty() ? "" : ", ") + quoted(host);
  }
  settings["org.gnome.system.proxy ignore-hosts"] = "[" + ignore + "]";
  add_server(settings, "http", proxy.http);
  add_server(settings, "https", proxy.https);
  return settings;
}

std::optional<ProxySettings> GsettingsProxy::read(const std::vector<std::string>& keys) {
  ProxySettings settings;
  for (const std::string& key : keys) {
    const auto [schema, name] = schema_and_key(key);
    auto value = run_tool({"gsettings", "get", schema, name});
    if (!value) return std::nullopt;
    if (value->ends_with('\n')) value->pop_back();
    settings[key] = std::move(*value);
  }
  return settings;
}

bool GsettingsProxy::write(const ProxySettings& settings) {
  bool written = true;
  for (const auto& [key, value] : settings) {
    const auto [schema, name] = schema_and_key(key);
    const auto done = value ? run_tool({"gsettings", "set", schema, name, *value})
                            : run_tool({"gsettings", "reset", schema, name});
    written = written && done.has_value();
  }
  return written;
}

}  // namespace nimbra::lnx
