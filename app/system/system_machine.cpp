// SPDX-License-Identifier: MIT
#include "system_machine.h"

#include <cstdlib>
#include <sstream>

#include "platform/sim/machine/machine_location.h"
#include "system_devices.h"

namespace nimbra::app {

namespace {

// COM port the first device found on this computer is given; a second one gets the next.
constexpr int16_t kFirstSystemPort = 3;

}  // namespace

std::filesystem::path sysfs_root() {
  if (const char* root = std::getenv("NIMBRA_SYSFS_ROOT"); root && *root) return root;
  return "/sys";
}

bool take_system_devices(const std::filesystem::path& sysfs, const std::filesystem::path& dev,
                         sim::MachineSpec& spec, const DeviceReport& report) {
  const SystemScan scan = plugged_devices(sysfs, dev);
  for (const std::string& problem : scan.problems) {
    report.problems << report.program << ": " << problem << "\n";
  }
  sim::MachineSpec taken = spec;
  for (const PluggedDevice& found : scan.devices) {
    if (found.tty.empty()) {
      report.problems << report.program << ": " << found.device->model_name
                      << " is plugged in but has no serial device; skipped\n";
      continue;
    }
    if (taken.cards.size() == 2) {
      report.problems << report.program << ": a machine holds at most two devices; "
                      << found.device->model_name << " on " << found.tty.string() << " skipped\n";
      continue;
    }
    const auto port = static_cast<int16_t>(kFirstSystemPort + taken.cards.size());
    taken.cards.push_back({std::string(found.device->model_name), port, ""});
    taken.port_devices[port] = found.stable_name.string();
    report.found << "found " << found.device->model_name << " on " << found.tty.string() << " (COM"
                 << port;
    if (found.stable_name != found.tty) report.found << ", " << found.stable_name.string();
    report.found << ")\n";
  }
  if (taken.cards.empty()) return false;
  taken.pppd = true;
  spec = std::move(taken);
  return true;
}

bool ensure_machine(const std::filesystem::path& dir, platform::Language language,
                    const std::filesystem::path& sysfs, std::ostream& tell) {
  if (sim::machine_exists(dir)) return false;
  sim::MachineSpec spec;
  spec.language = language;
  std::ostringstream found;
  if (!take_system_devices(sysfs, "/dev", spec, {found, tell, "nimbra"})) {
    sim::ensure_demo_machine(dir, language);
    tell << "nimbra: created the demo machine in " << dir.string()
         << " (no supported card, adapter or cable is plugged in)\n";
    return true;
  }
  sim::create_machine(dir, spec);
  std::istringstream lines(found.str());
  for (std::string line; std::getline(lines, line);) tell << "nimbra: " << line << "\n";
  tell << "nimbra: created the machine in " << dir.string()
       << " from this computer; its calls go over pppd\n";
  return true;
}

}  // namespace nimbra::app
