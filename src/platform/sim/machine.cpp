// SPDX-License-Identifier: MIT
#include "platform/sim/machine.h"

#include <ctime>

#include "platform/sim/card/card_settings.h"
#include "platform/sim/machine/installed_browser.h"
#include "platform/sim/machine/installed_network.h"
#include "platform/sim/machine/registry_permissions.h"
#include "platform/sim/machine/stale_temporaries.h"
#include "platform/sim/machine_power.h"

namespace nimbra::sim {

namespace {

platform::LocalDateTime real_local_now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

SimPorts ports_of(const MachineConfig& config, Scheduler& scheduler) {
  auto card = load_card(config.ini);
  if (!card) return SimPorts(PortConfig::load(config.ini), nullptr, 0);
  return SimPorts(PortConfig::load(config.ini),
                  std::make_unique<SimCard>(std::move(card->settings), scheduler), card->port);
}

// The modem's port as RAS opens it for a call: free, held by another program, or gone.
uint32_t open_port_for_call(SimPorts& ports, int16_t port) {
  static const char caller = 0;
  switch (ports.claim(port, &caller)) {
    case platform::CommError::None:
      ports.release(port, &caller);
      return platform::RAS_SUCCESS;
    case platform::CommError::PortInUse:
      return platform::ERROR_PORT_NOT_AVAILABLE;
    default:
      return platform::ERROR_PORT_OR_DEVICE;
  }
}

}  // namespace

Process::Process(Machine& machine)
    : window_(machine.scheduler(), [&machine] { return machine.restart(); }),
      runtime_(machine.config(), machine.instances()),
      comm_(machine.ports()),
      ras_(machine.dialup(), window_),
      shell_(machine.config(), machine.kernel()),
      http_(machine.scheduler(), machine.validity_server()),
      platform_{
          machine.kernel(),   machine.registry(), runtime_, window_, comm_, ras_, shell_, http_,
          machine.url_cache()} {}

Machine::Machine(const std::filesystem::path& dir)
    : config_(MachineConfig::load(dir)),
      clock_(scheduler_, config_.clock_start.value_or(real_local_now())),
      kernel_(config_, clock_),
      registry_(dir / machine_files::kRegistry, config_.code_page()),
      ports_(ports_of(config_, scheduler_)),
      task_timer_(scheduler_),
      dialup_(config_, task_timer_, clock_,
              {[this] { return ras_modems(registry_.snapshot(), config_); },
               [this](int16_t port) { return open_port_for_call(ports_, port); }}),
      validity_server_(config_, clock_, [this] { return service_call_up(dialup_); }),
      url_cache_(config_) {
  remove_stale_temporaries(dir);
  install_network(config_, registry_);
  open_installed_browser(registry_, config_.ini);
  apply_registry_permissions(config_.ini, registry_);
}

bool Machine::restart() {
  return record_restart(config_.dir,
                        {clock_.local_now(), "a program asked Windows to restart (EWX_REBOOT)"});
}

Process& Machine::start_process() {
  processes_.push_back(std::make_unique<Process>(*this));
  return *processes_.back();
}

void Machine::run_for(uint64_t ms) {
  scheduler_.run_until(scheduler_.now_ms() + ms);
}

}  // namespace nimbra::sim
