// SPDX-License-Identifier: MIT
#include "check_command.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/pppd/preflight_check.h"
#include "platform/sim/dialup/dialup_settings.h"
#include "platform/sim/machine/installed_hardware.h"
#include "platform/sim/machine/machine_config.h"
#include "platform/sim/machine/port_config.h"
#include "system_devices.h"

namespace nimbra::app {

namespace {

namespace fs = std::filesystem;
using lnx::CheckResult;
using lnx::CheckStatus;

// The machine's side of a call: its card, its port's device, its pppd; or why it has none.
struct MachineCall {
  lnx::CallSetup setup;
  std::vector<std::string> models;  // the devices installed in the machine
  std::optional<CheckResult> problem;
};

MachineCall machine_call(const fs::path& dir) {
  MachineCall call;
  const std::string condition = "machine dials for real";
  const std::string fix = "nimbra-machine init " + dir.string() + " --from-system";
  if (!fs::exists(dir / sim::machine_files::kConfig)) {
    call.problem = CheckResult{CheckStatus::Fail, condition, "no machine in " + dir.string(), fix};
    return call;
  }
  try {
    const auto config = sim::MachineConfig::load(dir);
    const auto dialup = sim::DialupSettings::load(config);
    call.setup.pppd = dialup.pppd_program;
    call.setup.peer = dialup.pppd_peer;
    const auto devices = sim::PortConfig::load(config.ini).devices;
    for (const sim::CardInstall& card : sim::load_installed_cards(config.ini)) {
      call.models.push_back(card.device);
      if (const auto it = devices.find(card.port);
          it != devices.end() && call.setup.device.empty()) {
        call.setup.device = it->second;
      }
    }
    if (dialup.service != sim::DialupKind::Pppd) {
      call.problem =
          CheckResult{CheckStatus::Fail, condition,
                      "it dials the simulated service (machine.ini [dialup] service)", fix};
    }
  } catch (const std::exception& e) {
    call.problem = CheckResult{CheckStatus::Fail, condition, e.what(), fix};
  }
  return call;
}

CheckResult device_plugged_in(const MachineCall& call, const fs::path& root) {
  const std::string condition = "device plugged in";
  const SystemScan scan = plugged_devices(root / "sys", root / "dev");
  for (const PluggedDevice& found : scan.devices) {
    for (const std::string& model : call.models) {
      if (found.device->model_name == model) {
        return {CheckStatus::Pass, condition,
                model + (found.tty.empty() ? "" : " (" + found.tty.filename().string() + ")"), ""};
      }
    }
  }
  std::string detail = call.models.empty() ? "the machine has no device"
                                           : call.models.front() + " is not plugged in";
  for (const std::string& problem : scan.problems) detail += "; " + problem;
  return {CheckStatus::Fail, condition, detail, "plug the card, adapter or cable in"};
}

}  // namespace

int check_machine(const fs::path& dir, const fs::path& root) {
  const MachineCall call = machine_call(dir);
  std::vector<CheckResult> results;
  if (call.problem) results.push_back(*call.problem);
  results.push_back(device_plugged_in(call, root));
  for (CheckResult& result :
       lnx::preflight_check(root, call.setup, lnx::Credentials::of_this_process())) {
    results.push_back(std::move(result));
  }
  bool can_call = true;
  for (const CheckResult& result : results) {
    std::cout << lnx::check_line(result) << "\n";
    can_call = can_call && result.status != CheckStatus::Fail;
  }
  std::cout << (can_call ? "a real call can work\n" : "a real call cannot work yet\n");
  return can_call ? 0 : 1;
}

}  // namespace nimbra::app
