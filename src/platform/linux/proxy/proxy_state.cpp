// SPDX-License-Identifier: MIT
#include "platform/linux/proxy/proxy_state.h"

#include "platform/host/file_io.h"
#include "platform/text/ini_file.h"

namespace nimbra::lnx {

namespace {

constexpr size_t kMaxStateFile = 64 * 1024;
constexpr std::string_view kUnset = "-";

std::string encode(const std::optional<std::string>& value) {
  if (!value) return std::string(kUnset);
  std::string text = "\"";
  for (const char c : *value) {
    if (c == '\\' || c == '"') text += '\\';
    text += c == '\n' ? std::string("\\n") : std::string(1, c);
  }
  return text + "\"";
}

// Nothing in `ok` set false when the text is neither "-" nor a quoted value.
std::optional<std::string> decode(std::string_view text, bool& ok) {
  if (text == kUnset) return std::nullopt;
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
    ok = false;
    return std::nullopt;
  }
  std::string value;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 2 < text.size()) c = text[++i] == 'n' ? '\n' : text[i];
    value += c;
  }
  return value;
}

bool load_settings(const platform::IniFile& ini, std::string_view section, ProxySettings& out) {
  const auto s = ini.section(section);
  if (!s) return false;
  bool ok = true;
  for (const auto& e : s->entries) out[e.key] = decode(e.value, ok);
  return ok;
}

}  // namespace

std::optional<ProxyState> ProxyState::load(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return std::nullopt;
  const auto text = platform::read_text_file(file, kMaxStateFile);
  std::string error;
  const platform::IniFile ini = platform::IniFile::parse(text.value_or(""), &error);
  ProxyState state;
  state.desktop = ini.get_or("proxy", "desktop", "");
  state.entry = ini.get_or("proxy", "entry", "");
  state.proxy = ini.get_or("proxy", "given", "");
  const bool settings =
      load_settings(ini, "saved", state.saved) && load_settings(ini, "written", state.written);
  if (text && error.empty() && settings && !state.desktop.empty()) return state;
  std::filesystem::rename(file, file.string() + ".bad", ec);
  return std::nullopt;
}

bool ProxyState::save(const std::filesystem::path& file) const {
  platform::IniFile ini;
  ini.set("proxy", "desktop", desktop);
  ini.set("proxy", "entry", entry);
  ini.set("proxy", "given", proxy);
  for (const auto& [key, value] : saved) ini.set("saved", key, encode(value));
  for (const auto& [key, value] : written) ini.set("written", key, encode(value));
  return platform::write_text_file_atomic(file, ini.format(), 0600);
}

}  // namespace nimbra::lnx
