// SPDX-License-Identifier: MIT
// The connections of the machine's dial-up service, kept in connections.ini in the machine
// directory so that they stay up across program runs (as Windows keeps a call up when the
// program that dialled it ends). Texts are ANSI in memory and UTF-8 in the file.
//
//   [service]
//   next_handle = 0x00010003
//   [0x00010002]
//   entry = "KVAUTODL"
//   device_type = "modem"
//   device_name = "ARLEN DENSHI CO.,LTD. KVT30-J"
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/file_io.h"
#include "platform/ras.h"
#include "platform/sim/machine/machine_config.h"
#include "platform/text/codepage.h"

namespace nimbra::sim {

inline constexpr std::string_view kConnectionsFile = machine_files::kConnections;

struct Connection {
  platform::HRASCONN handle = 0;
  std::string entry;
  std::string device_type;
  std::string device_name;
  friend bool operator==(const Connection&, const Connection&) = default;
};

struct ConnectionTable {
  platform::HRASCONN next_handle = kFirstHandle;
  std::vector<Connection> up;  // in the order they came up

  static constexpr platform::HRASCONN kFirstHandle = 0x00010001;

  // Takes a new handle: non-zero and never given out before on this machine.
  platform::HRASCONN take_handle();
};

class ConnectionsFile {
 public:
  ConnectionsFile(std::filesystem::path file, platform::CodePage code_page);

  // The table as the file holds it now; an empty table when there is no file. The status tick
  // asks ten times a second, so the file is read again only when its identity has changed. It
  // needs no lock: the file is only ever replaced whole.
  ConnectionTable load() const;

  // Reads the table under the file's lock, lets `change` change it and, when `change` returns
  // true, saves it before the lock is released, so that no other program's change in between is
  // lost. Lines that hold no connection of the table (comments, lines not understood, sections
  // of others) stay as they are. False, with standard error told, when the file cannot be read,
  // locked or saved; it then stays as it was.
  bool update(const std::function<bool(ConnectionTable&)>& change) const;

  // Ends every connection; how many were up, or nothing when the file could not be saved.
  std::optional<size_t> end_all() const;

  const std::filesystem::path& file() const { return file_; }

  // `changed` says whether the file may have changed since it was last asked (a watch on it);
  // while it says no, load() does not look at the file. Without it, every load() does.
  void set_change_source(std::function<bool()> changed) { changed_ = std::move(changed); }

 private:
  std::filesystem::path file_;
  platform::CodePage code_page_;
  mutable std::optional<platform::FileIdentity> loaded_identity_;
  mutable ConnectionTable loaded_;
  std::function<bool()> changed_;
};

}  // namespace nimbra::sim
