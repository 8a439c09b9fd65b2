// SPDX-License-Identifier: MIT
#include "platform/sim/dialup/connections_file.h"

#include <algorithm>
#include <map>

#include "platform/host/file_io.h"
#include "platform/sim/dialup/ini_text.h"
#include "platform/sim/machine/shared_ini_file.h"
#include "platform/text/ini_file.h"

namespace nimbra::sim {

namespace {

constexpr size_t kMaxFileBytes = 1 << 16;
constexpr size_t kMaxConnections = 64;
constexpr unsigned kFileMode = 0644;
constexpr std::string_view kService = "service";

// The table a file holds, and the section each connection was read from.
struct FileTable {
  ConnectionTable table;
  std::map<platform::HRASCONN, std::string> sections;
};

FileTable table_of(const platform::IniFile& ini, platform::CodePage code_page) {
  FileTable read;
  ConnectionTable& table = read.table;
  table.next_handle = ini_number(ini.get_or(kService, "next_handle", ""), table.next_handle);
  for (const auto& section : ini.sections()) {
    const uint32_t handle = ini_number(section.name, 0);
    if (handle == 0 || read.sections.contains(handle) || table.up.size() == kMaxConnections) {
      continue;
    }
    const auto text_of = [&](std::string_view key) {
      return platform::to_ansi(ini_unquoted(ini.get_or(section.name, key, "")), code_page);
    };
    table.up.push_back(
        Connection{handle, text_of("entry"), text_of("device_type"), text_of("device_name")});
    read.sections[handle] = section.name;
  }
  return read;
}

// Brings the file's text in line with `table`, touching only the lines of what changed.
void write_table(platform::IniFile& ini, const FileTable& before, const ConnectionTable& table,
                 platform::CodePage code_page) {
  if (table.next_handle != before.table.next_handle) {
    ini.set(kService, "next_handle", hex_number(table.next_handle));
  }
  for (const auto& known : before.sections) {
    const bool still_up =
        std::any_of(table.up.begin(), table.up.end(),
                    [&known](const Connection& c) { return c.handle == known.first; });
    if (!still_up) ini.remove_section(known.second);
  }
  for (const Connection& c : table.up) {
    const auto was = std::find_if(before.table.up.begin(), before.table.up.end(),
                                  [&c](const Connection& old) { return old.handle == c.handle; });
    if (was != before.table.up.end() && *was == c) continue;
    const auto known = before.sections.find(c.handle);
    const std::string section =
        known != before.sections.end() ? known->second : hex_number(c.handle);
    const auto text = [&](std::string_view key, std::string_view ansi) {
      ini.set(section, key, ini_quoted(platform::from_ansi(ansi, code_page)));
    };
    text("entry", c.entry);
    text("device_type", c.device_type);
    text("device_name", c.device_name);
  }
}

}  // namespace

platform::HRASCONN ConnectionTable::take_handle() {
  const platform::HRASCONN handle = next_handle;
  next_handle = next_handle == UINT32_MAX ? kFirstHandle : next_handle + 1;
  return handle;
}

ConnectionsFile::ConnectionsFile(std::filesystem::path file, platform::CodePage code_page)
    : file_(std::move(file)), code_page_(code_page) {}

ConnectionTable ConnectionsFile::load() const {
  const bool may_have_changed = !changed_ || changed_();
  if (loaded_identity_ && !may_have_changed) return loaded_;
  // Taken before the read: a save in between makes the next load read again.
  const platform::FileIdentity identity =
      platform::identify_file(file_).value_or(platform::FileIdentity{});
  if (loaded_identity_ != identity) {
    const auto text =
        identity.exists ? platform::read_text_file(file_, kMaxFileBytes) : std::nullopt;
    loaded_ =
        text ? table_of(platform::IniFile::parse(*text), code_page_).table : ConnectionTable{};
    loaded_identity_ = identity;
  }
  return loaded_;
}

bool ConnectionsFile::update(const std::function<bool(ConnectionTable&)>& change) const {
  loaded_identity_.reset();
  return update_shared_ini(file_, kMaxFileBytes, kFileMode, [&](platform::IniFile& ini) {
    const FileTable before = table_of(ini, code_page_);
    ConnectionTable table = before.table;
    if (!change(table)) return false;
    write_table(ini, before, table, code_page_);
    return true;
  });
}

std::optional<size_t> ConnectionsFile::end_all() const {
  size_t ended = 0;
  const bool saved = update([&ended](ConnectionTable& table) {
    ended = table.up.size();
    table.up.clear();
    return ended > 0;
  });
  return saved ? std::optional(ended) : std::nullopt;
}

}  // namespace nimbra::sim
