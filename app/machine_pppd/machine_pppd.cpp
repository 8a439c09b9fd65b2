// SPDX-License-Identifier: MIT
#include "machine_pppd.h"

#include "platform/sim/dialup/dialup_settings.h"
#include "platform/sim/machine/port_config.h"

namespace nimbra::app {

lnx::SerialOptions machine_serial_options(const sim::MachineConfig& config,
                                          const sim::PtyCard* card) {
  auto devices = sim::PortConfig::load(config.ini).devices;
  if (card) devices[sim::load_card(config.ini)->port] = card->slave_path().string();
  lnx::SerialOptions options;
  options.lock_dir = sim::DialupSettings::load(config).lock_dir;
  options.device_of = [devices = std::move(devices)](int16_t port) -> std::filesystem::path {
    const auto it = devices.find(port);
    return it != devices.end() ? std::filesystem::path(it->second)
                               : lnx::SerialOptions::default_device(port);
  };
  return options;
}

std::optional<lnx::PppdOptions> machine_pppd_options(const sim::MachineConfig& config,
                                                     const sim::PtyCard* card) {
  const sim::DialupSettings settings = sim::DialupSettings::load(config);
  if (settings.service != sim::DialupKind::Pppd) return std::nullopt;
  lnx::PppdOptions options;
  options.program = settings.pppd_program;
  options.peer = settings.pppd_peer;
  options.run_dir = settings.pppd_run_dir;
  options.serial = machine_serial_options(config, card);
  options.log_file = config.dir / lnx::kPppdCallLogFile;
  return options;
}

}  // namespace nimbra::app
