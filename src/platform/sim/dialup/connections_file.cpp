#include "platform/sim/dialup/connections_file.h"

#include "platform/host/file_io.h"
#include "platform/text/ini_file.h"
#include "platform/sim/dialup/ini_text.h"

namespace nimbra::sim {

namespace {

constexpr size_t kMaxFileBytes = 1 << 16;
constexpr size_t kMaxConnections = 64;
constexpr std::string_view kService = "service";

}  // namespace

platform::HRASCONN ConnectionTable::take_handle() {
  const platform::HRASCONN handle = next_handle;
  next_handle = next_handle == UINT32_MAX ? kFirstHandle : next_handle + 1;
  return handle;
}

ConnectionsFile::ConnectionsFile(std::filesystem::path file, platform::CodePage code_page)
    : file_(std::move(file)), code_page_(code_page) {}

ConnectionTable ConnectionsFile::load() const {
  // Taken before the read: a save in between makes the next load read again.
  const platform::FileIdentity identity =
      platform::identify_file(file_).value_or(platform::FileIdentity{});
  if (loaded_identity_ != identity) {
    loaded_ = identity.exists ? read() : ConnectionTable{};
    loaded_identity_ = identity;
  }
  return loaded_;
}

ConnectionTable ConnectionsFile::read() const {
  ConnectionTable table;
  const auto text = platform::read_text_file(file_, kMaxFileBytes);
  if (!text) return table;
  const platform::IniFile ini = platform::IniFile::parse(*text);
  table.next_handle = ini_number(ini.get_or(kService, "next_handle", ""), table.next_handle);
  for (const auto& section : ini.sections()) {
    const uint32_t handle = ini_number(section.name, 0);
    if (handle == 0 || table.up.size() == kMaxConnections) continue;
    const auto text_of = [&](std::string_view key) {
      return platform::to_ansi(ini_unquoted(ini.get_or(section.name, key, "")), code_page_);
    };
    table.up.push_back(
        Connection{handle, text_of("entry"), text_of("device_type"), text_of("device_name")});
  }
  return table;
}

bool ConnectionsFile::save(const ConnectionTable& table) const {
  platform::IniFile ini;
  ini.set(kService, "next_handle", hex_number(table.next_handle));
  for (const Connection& c : table.up) {
    const std::string section = hex_number(c.handle);
    ini.set(section, "entry", ini_quoted(platform::from_ansi(c.entry, code_page_)));
    ini.set(section, "device_type", ini_quoted(platform::from_ansi(c.device_type, code_page_)));
    ini.set(section, "device_name", ini_quoted(platform::from_ansi(c.device_name, code_page_)));
  }
  loaded_identity_.reset();
  return platform::write_text_file_atomic(file_, ini.format(), 0644);
}

}  // namespace nimbra::sim
