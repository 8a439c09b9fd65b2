#include "desktop_platform.h"

namespace nimbra::app {

DesktopPlatform::DesktopPlatform(const std::filesystem::path& dir)
    : config_(sim::MachineConfig::load(dir)),
      kernel_(config_, clock_),
      registry_(dir / sim::machine_files::kRegistry, config_.code_page()),
      runtime_(dir, [this](const std::string& title) { window_.activate_window_titled(title); }),
      services_{kernel_, registry_, runtime_, window_} {}

}  // namespace nimbra::app
