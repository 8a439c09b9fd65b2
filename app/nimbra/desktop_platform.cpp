// SPDX-License-Identifier: MIT
#include "desktop_platform.h"

#include <QCoreApplication>
#include <iostream>

#include "machine_pppd.h"
#include "platform/linux/proxy/session_desktop.h"
#include "platform/sim/card/card_settings.h"
#include "platform/sim/desktop/short_date.h"
#include "platform/sim/machine/installed_browser.h"
#include "platform/sim/machine/installed_network.h"
#include "platform/sim/machine/port_config.h"
#include "platform/sim/machine/stale_temporaries.h"

namespace nimbra::app {

namespace {

std::unique_ptr<sim::PtyCard> simulated_card(const sim::MachineConfig& config) {
  const auto card = sim::load_card(config.ini);
  if (!card || sim::PortConfig::load(config.ini).devices.contains(card->port)) return nullptr;
  return std::make_unique<sim::PtyCard>(card->settings);
}

// A port that another program holds cannot carry a call.
uint32_t open_port_for_call(const sim::MachineConfig& config, int16_t port) {
  return sim::PortConfig::load(config.ini).held.contains(port) ? platform::ERROR_PORT_NOT_AVAILABLE
                                                               : platform::RAS_SUCCESS;
}

// The validity server's answer as bytes on a loopback connection.
qt::ScriptedReply wire_reply(const sim::ServiceAnswer& answer) {
  using Kind = sim::ServiceAnswer::Kind;
  qt::ScriptedReply reply;
  reply.delay_ms = answer.delay_ms;
  reply.keep_open = answer.kind == Kind::Silent;
  if (answer.kind == Kind::Respond) reply.segments.push_back(answer.bytes());
  return reply;
}

// The network module beside the program (the build tree) or in the installed library folder.
std::vector<std::string> network_module_paths() {
  const std::string dir = QCoreApplication::applicationDirPath().toStdString();
  return {dir + "/nimbra_network.so", dir + "/../" NIMBRA_MODULE_DIR "/nimbra_network.so"};
}

// The real line under the dial-up service when machine.ini asks for pppd.
std::unique_ptr<lnx::PppdLine> pppd_line(const sim::MachineConfig& config, const sim::PtyCard* card,
                                         platform::FileRegistry& registry,
                                         platform::TaskTimer& timer) {
  auto options = machine_pppd_options(config, card);
  if (!options) return nullptr;
  options->mtu = [&registry, language = config.language] {
    return sim::dialup_adapter_mtu(registry.snapshot(), language);
  };
  return std::make_unique<lnx::PppdLine>(std::move(*options), timer);
}

// The line under the dial-up service, watched by what follows the link.
std::unique_ptr<lnx::WatchedLine> watched(lnx::PppdLine* line) {
  return line ? std::make_unique<lnx::WatchedLine>(*line) : nullptr;
}

// Whether the desktop's proxy follows the connection's: on machines whose calls are real,
// unless machine.ini says [desktop] proxy = leave.
bool proxy_follows(const sim::MachineConfig& config, const lnx::PppdLine* line) {
  return line && !platform::iequals(config.ini.get_or("desktop", "proxy", "follow"), "leave");
}

// Said in place of the restart the program asks for: the desktop never restarts the computer.
std::string restart_notice(platform::Language language) {
  if (language == platform::Language::Japanese) {
    return "Nimbra はコンピュータを再起動しません。新しい設定は次にマシンを起動したときに有効に"
           "なります。Nimbra を終了します。";
  }
  return "Nimbra does not restart this computer. The new settings take effect the next time the "
         "machine starts. Nimbra ends now.";
}

// The machine's short date picture when machine.ini names one; else the system locale's.
qt::QtRuntime::ShortDate machine_short_date(const sim::MachineConfig& config) {
  if (!config.ini.get("system", "short_date")) return {};
  return [picture = config.short_date_format](const platform::LocalDateTime& date) {
    return sim::format_short_date(picture, date);
  };
}

}  // namespace

DesktopPlatform::DesktopPlatform(const std::filesystem::path& dir)
    : config_(sim::MachineConfig::load(dir)),
      kernel_(config_, clock_),
      registry_(dir / sim::machine_files::kRegistry, config_.code_page()),
      watched_registry_(registry_),
      runtime_(
          dir, [this](const std::string& title) { window_.activate_window_titled(title); },
          machine_short_date(config_)),
      window_(runtime_.ui_language()),
      card_(simulated_card(config_)),
      comm_(machine_serial_options(config_, card_.get())),
      pppd_line_(pppd_line(config_, card_.get(), registry_, task_timer_)),
      watched_line_(watched(pppd_line_.get())),
      connections_changed_(dir / sim::kConnectionsFile),
      dialup_(config_, task_timer_, clock_,
              {[this] { return sim::ras_modems(registry_.snapshot(), config_); },
               [this](int16_t port) { return open_port_for_call(config_, port); },
               watched_line_.get()}),
      ras_(dialup_, window_),
      shell_([this](std::string_view path) { return kernel_.host_path(path); }),
      validity_server_(config_, clock_, [this] { return sim::service_call_up(dialup_); }),
      http_({.serves = sim::ValidityServer::serves,
             .reachable = [this] { return sim::service_call_up(dialup_); },
             .answer =
                 [this](const std::string& target) {
                   return wire_reply(validity_server_.answer(target));
                 }},
            network_module_paths()),
      url_cache_(config_),
      services_{kernel_, watched_registry_, runtime_, window_, comm_, ras_, shell_,
                http_,   url_cache_} {
  // The status tick asks for the connections ten times a second; the file is looked at only
  // when the system says it changed.
  dialup_.set_connections_change_source([this] { return connections_changed_.take(); });
  sim::remove_stale_temporaries(dir);
  sim::install_network(config_, registry_);
  window_.set_restart_notice(restart_notice(runtime_.ui_language()));
  sim::open_installed_browser(registry_, config_.ini);
  if (proxy_follows(config_, pppd_line_.get())) follow_link_with_desktop_proxy(dir);
}

void DesktopPlatform::follow_link_with_desktop_proxy(const std::filesystem::path& dir) {
  lnx::DesktopProxy::Link link{[this] {
                                 std::vector<std::string> entries;
                                 for (const sim::Connection& c : dialup_.connections()) {
                                   entries.push_back(c.entry);
                                 }
                                 return entries;
                               },
                               [this](std::string_view entry) { return pppd_line_->up(entry); }};
  desktop_proxy_ = std::make_unique<lnx::DesktopProxy>(registry_, task_timer_, std::move(link),
                                                       lnx::session_follower(dir, std::cerr));
  watched_registry_.set_listener([this] { desktop_proxy_->changed(); });
  watched_line_->set_listener([this] { desktop_proxy_->changed(); });
}

}  // namespace nimbra::app
