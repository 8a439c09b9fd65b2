// SPDX-License-Identifier: MIT
#include "platform/sim/machine/machine_location.h"

#include <cstdlib>

#include "platform/host/file_io.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

std::filesystem::path default_machine_dir() {
  if (const char* dir = std::getenv("NIMBRA_MACHINE"); dir && *dir) return dir;
  std::filesystem::path data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    data = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    data = std::filesystem::path(home) / ".local" / "share";
  } else {
    data = std::filesystem::temp_directory_path();
  }
  return data / "nimbra" / "machine";
}

CardInstall demo_card() {
  return {"KVT30-J", 3, ""};
}

bool ensure_demo_machine(const std::filesystem::path& dir, platform::Language language) {
  if (machine_exists(dir)) return false;
  create_machine(dir, MachineSpec{WindowsVersion::XP, language, {demo_card()}});
  // The demo's dial-up service lets the service's default account in; its browser has pages
  // in its cache for "Delete cache" to remove.
  const auto file = dir / machine_files::kConfig;
  platform::IniFile ini =
      platform::IniFile::parse(platform::read_text_file(file, 1 << 20).value_or(""));
  ini.set("dialup", "accept", "qenvora:qenvora");
  // The service's validity server answers the day three months ahead.
  ini.set("validity", "days_left", "90");
  ini.set("cache", "entries", "240");
  if (!platform::write_text_file_atomic(file, ini.format(), 0644)) {
    throw MachineError("cannot write " + file.string());
  }
  return true;
}

}  // namespace nimbra::sim
