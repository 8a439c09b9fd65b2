// SPDX-License-Identifier: MIT
// A simulated machine: its directory, one virtual clock for everything on it, the kernel and the
// registry that all program instances on it share, and the instances themselves.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry/file_registry.h"
#include "platform/platform.h"
#include "platform/sim/clock/device_task_timer.h"
#include "platform/sim/dialup/dialup_service.h"
#include "platform/sim/machine/machine_config.h"
#include "platform/sim/machine/machine_kernel.h"
#include "platform/sim/clock/scheduler.h"
#include "platform/sim/card/sim_comm.h"
#include "platform/sim/web/sim_http.h"
#include "platform/sim/card/sim_ports.h"
#include "platform/sim/dialup/sim_ras.h"
#include "platform/sim/desktop/sim_runtime.h"
#include "platform/sim/desktop/sim_shell.h"
#include "platform/sim/web/sim_url_cache.h"
#include "platform/sim/desktop/sim_window.h"
#include "platform/sim/web/validity_server.h"
#include "platform/sim/clock/virtual_clock.h"

namespace nimbra::sim {

class Machine;

// One running copy of the program on the machine, with its own window and runtime.
class Process {
 public:
  explicit Process(Machine& machine);
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  platform::Platform& platform() { return platform_; }
  SimWindow& window() { return window_; }
  SimRuntime& runtime() { return runtime_; }
  SimComm& comm() { return comm_; }
  SimRas& ras() { return ras_; }
  SimShell& shell() { return shell_; }
  SimHttp& http() { return http_; }

 private:
  SimWindow window_;
  SimRuntime runtime_;
  SimComm comm_;
  SimRas ras_;
  SimShell shell_;
  SimHttp http_;
  platform::Platform platform_;
};

class Machine {
 public:
  // Opens the machine in `dir`; throws MachineError or RegistryFileError.
  explicit Machine(const std::filesystem::path& dir);
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  const MachineConfig& config() const { return config_; }
  Scheduler& scheduler() { return scheduler_; }
  MachineKernel& kernel() { return kernel_; }
  platform::FileRegistry& registry() { return registry_; }
  InstanceRegistry& instances() { return instances_; }
  SimPorts& ports() { return ports_; }
  // The card on the machine's port, or nothing when machine.ini names none.
  SimCard* card() { return ports_.card(); }
  // The dial-up service all instances share.
  DialupService& dialup() { return dialup_; }
  // The service's validity server, reachable while the machine's call to the service is up.
  const ValidityServer& validity_server() const { return validity_server_; }

  // Restarts the machine at a program's request: the restart is recorded and every dial-up
  // connection ends. False when the machine directory cannot be written.
  bool restart();

  // The browser cache all instances share.
  SimUrlCache& url_cache() { return url_cache_; }

  // Starts a new program instance (its entry is then called by the caller).
  Process& start_process();

  // The message loop of every instance: runs all work due in the next `ms` of virtual time.
  void run_for(uint64_t ms);

 private:
  MachineConfig config_;
  Scheduler scheduler_;
  VirtualClock clock_;
  MachineKernel kernel_;
  platform::FileRegistry registry_;
  InstanceRegistry instances_;
  SimPorts ports_;
  DeviceTaskTimer task_timer_;
  DialupService dialup_;
  ValidityServer validity_server_;
  SimUrlCache url_cache_;
  std::vector<std::unique_ptr<Process>> processes_;
};

}  // namespace nimbra::sim
