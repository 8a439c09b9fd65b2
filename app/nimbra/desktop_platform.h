// SPDX-License-Identifier: MIT
// The services the desktop program runs on: the machine directory's kernel and registry with
// real time, the Qt window toolkit and runtime, and real serial ports. A machine whose card has
// no real device behind its port gets the card simulator on a pseudo-terminal there; dial-up
// goes to the machine's dial-up service, whose calls walk their states in real time, or, with
// [dialup] service = pppd, go over the card's serial port and the system's pppd.
// The shell is the desktop's own: the user's browser and mail program are the ones started.
// The service's hosts are served by the machine itself, on the loopback interface, while its
// call is up; other hosts are on the internet. That network is loaded at the first request.
// The browser cache is the machine's: a Linux browser's cache is its own private store, not one
// that another program may walk and delete entries of while the browser runs.
// On a machine whose calls are real, the desktop's proxy follows the connection's proxy value
// while its link is up, unless machine.ini says [desktop] proxy = leave.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/linux/desktop/linux_shell.h"
#include "platform/linux/desktop/system_clock.h"
#include "platform/linux/pppd/pppd_line.h"
#include "platform/linux/proxy/desktop_proxy.h"
#include "platform/linux/proxy/watched_line.h"
#include "platform/linux/proxy/watched_registry.h"
#include "platform/linux/serial/serial_comm.h"
#include "platform/platform.h"
#include "platform/qt/file_change_flag.h"
#include "platform/qt/qt_runtime.h"
#include "platform/qt/qt_task_timer.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/service_network.h"
#include "platform/registry/file_registry.h"
#include "platform/sim/card/pty_card.h"
#include "platform/sim/dialup/dialup_service.h"
#include "platform/sim/dialup/sim_ras.h"
#include "platform/sim/machine/machine_config.h"
#include "platform/sim/machine/machine_kernel.h"
#include "platform/sim/web/sim_url_cache.h"
#include "platform/sim/web/validity_server.h"

namespace nimbra::app {

class DesktopPlatform {
 public:
  // Opens the machine in `dir`; throws MachineError or RegistryFileError.
  explicit DesktopPlatform(const std::filesystem::path& dir);

  platform::Platform& services() { return services_; }
  qt::QtWindow& window() { return window_; }
  // The simulated card, or nothing when the machine has none or it is real hardware.
  const sim::PtyCard* card() const { return card_.get(); }
  sim::DialupService& dialup() { return dialup_; }

 private:
  void follow_link_with_desktop_proxy(const std::filesystem::path& dir);

  sim::MachineConfig config_;
  lnx::SystemClock clock_;
  sim::MachineKernel kernel_;
  platform::FileRegistry registry_;
  lnx::WatchedRegistry watched_registry_;
  qt::QtRuntime runtime_;
  qt::QtWindow window_;
  std::unique_ptr<sim::PtyCard> card_;
  lnx::SerialComm comm_;
  qt::QtTaskTimer task_timer_;
  std::unique_ptr<lnx::PppdLine> pppd_line_;
  std::unique_ptr<lnx::WatchedLine> watched_line_;
  qt::FileChangeFlag connections_changed_;
  sim::DialupService dialup_;
  std::unique_ptr<lnx::DesktopProxy> desktop_proxy_;
  sim::SimRas ras_;
  lnx::LinuxShell shell_;
  sim::ValidityServer validity_server_;
  qt::LazyServiceNetwork http_;
  sim::SimUrlCache url_cache_;
  platform::Platform services_;
};

}  // namespace nimbra::app
