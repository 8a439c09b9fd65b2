// The services the desktop program runs on: the machine directory's kernel and registry with
// real time, and the Qt window toolkit and runtime.
#pragma once

#include <filesystem>

#include "platform/file_registry.h"
#include "platform/linux/system_clock.h"
#include "platform/platform.h"
#include "platform/qt/qt_runtime.h"
#include "platform/qt/qt_window.h"
#include "platform/sim/machine_config.h"
#include "platform/sim/machine_kernel.h"

namespace nimbra::app {

class DesktopPlatform {
 public:
  // Opens the machine in `dir`; throws MachineError or RegistryFileError.
  explicit DesktopPlatform(const std::filesystem::path& dir);

  platform::Platform& services() { return services_; }
  qt::QtWindow& window() { return window_; }

 private:
  sim::MachineConfig config_;
  lnx::SystemClock clock_;
  sim::MachineKernel kernel_;
  platform::FileRegistry registry_;
  qt::QtWindow window_;
  qt::QtRuntime runtime_;
  platform::Platform services_;
};

}  // namespace nimbra::app
