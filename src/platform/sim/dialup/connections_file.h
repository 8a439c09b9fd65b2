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
#include <optional>
#include <string>
#include <vector>

#include "platform/text/codepage.h"
#include "platform/host/file_io.h"
#include "platform/ras.h"

namespace nimbra::sim {

inline constexpr std::string_view kConnectionsFile = "connections.ini";

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
  // asks ten times a second, so the file is read again only when its identity has changed.
  ConnectionTable load() const;
  // Replaces the file atomically; false when it cannot be written.
  bool save(const ConnectionTable& table) const;

  const std::filesystem::path& file() const { return file_; }

 private:
  ConnectionTable read() const;

  std::filesystem::path file_;
  platform::CodePage code_page_;
  mutable std::optional<platform::FileIdentity> loaded_identity_;
  mutable ConnectionTable loaded_;
};

}  // namespace nimbra::sim
