// SPDX-License-Identifier: MIT
#include "platform/sim/machine_power.h"

#include <cstdio>

#include "platform/host/file_io.h"
#include "platform/sim/dialup/connections_file.h"
#include "platform/sim/machine/machine_config.h"
#include "platform/sim/machine/shared_ini_file.h"
#include "platform/text/ini_file.h"

namespace nimbra::sim {

namespace {

constexpr size_t kMaxPowerFileSize = 4096;
constexpr unsigned kPowerFileMode = 0644;

}  // namespace

std::string format_date_time(const platform::LocalDateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

bool record_restart(const std::filesystem::path& machine_dir, const RestartRecord& restart) {
  const bool recorded = update_shared_ini(
      machine_dir / kPowerFile, kMaxPowerFileSize, kPowerFileMode, [&](platform::IniFile& ini) {
        ini.set("restart", "time", format_date_time(restart.time));
        ini.set("restart", "reason", restart.reason);
        return true;
      });
  if (!recorded) return false;
  // No call survives a restart; an empty table needs no code page.
  const ConnectionsFile connections(machine_dir / kConnectionsFile, platform::CodePage::Western);
  return connections.end_all().has_value();
}

std::optional<RestartRecord> last_restart(const std::filesystem::path& machine_dir) {
  const auto text = platform::read_text_file(machine_dir / kPowerFile, kMaxPowerFileSize);
  if (!text) return std::nullopt;
  const platform::IniFile ini = platform::IniFile::parse(*text);
  const auto time = ini.get("restart", "time");
  const auto when = time ? parse_date_time(*time) : std::nullopt;
  if (!when) return std::nullopt;
  return RestartRecord{*when, ini.get_or("restart", "reason", "")};
}

}  // namespace nimbra::sim
