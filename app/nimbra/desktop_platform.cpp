#include "desktop_platform.h"

#include "platform/sim/card_settings.h"
#include "platform/sim/installed_browser.h"
#include "platform/sim/port_config.h"

namespace nimbra::app {

namespace {

std::unique_ptr<sim::PtyCard> simulated_card(const sim::MachineConfig& config) {
  const auto card = sim::load_card(config.ini);
  if (!card || sim::PortConfig::load(config.ini).devices.contains(card->port)) return nullptr;
  return std::make_unique<sim::PtyCard>(card->settings);
}

// COM ports as machine.ini maps them, the simulated card's port to its pseudo-terminal, any
// other port to /dev/ttyS<n-1>.
lnx::SerialOptions serial_options(const sim::MachineConfig& config, const sim::PtyCard* card) {
  auto devices = sim::PortConfig::load(config.ini).devices;
  if (card) devices[sim::load_card(config.ini)->port] = card->slave_path().string();
  lnx::SerialOptions options;
  options.device_of = [devices = std::move(devices)](int16_t port) -> std::filesystem::path {
    const auto it = devices.find(port);
    return it != devices.end() ? std::filesystem::path(it->second)
                               : lnx::SerialOptions::default_device(port);
  };
  return options;
}

// A port that another program holds cannot carry a call.
uint32_t open_port_for_call(const sim::MachineConfig& config, int16_t port) {
  return sim::PortConfig::load(config.ini).held.contains(port) ? platform::ERROR_PORT_NOT_AVAILABLE
                                                               : platform::RAS_SUCCESS;
}

}  // namespace

DesktopPlatform::DesktopPlatform(const std::filesystem::path& dir)
    : config_(sim::MachineConfig::load(dir)),
      kernel_(config_, clock_),
      registry_(dir / sim::machine_files::kRegistry, config_.code_page()),
      runtime_(dir, [this](const std::string& title) { window_.activate_window_titled(title); }),
      card_(simulated_card(config_)),
      comm_(serial_options(config_, card_.get())),
      dialup_(config_, task_timer_, clock_,
              {[this] { return sim::ras_modems(registry_.snapshot(), config_); },
               [this](int16_t port) { return open_port_for_call(config_, port); }}),
      ras_(dialup_, window_),
      shell_([this](std::string_view path) { return kernel_.host_path(path); }),
      url_cache_(config_),
      services_{kernel_, registry_, runtime_, window_, comm_, ras_, shell_, url_cache_} {
  sim::open_installed_browser(registry_, config_.ini);
}

}  // namespace nimbra::app
