#include "platform/sim/machine_location.h"

#include <cstdlib>

#include "platform/sim/machine_config.h"

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

bool ensure_demo_machine(const std::filesystem::path& dir, platform::Language language) {
  if (machine_exists(dir)) return false;
  create_machine(dir, MachineSpec{WindowsVersion::XP, language, {{"KVT30-J", 3, ""}}});
  return true;
}

}  // namespace nimbra::sim
