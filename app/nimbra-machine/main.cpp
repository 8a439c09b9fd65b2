// SPDX-License-Identifier: MIT
// nimbra-machine: creates a simulated machine and shows what it holds.
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "check_command.h"
#include "detect/modem_detection.h"
#include "machine_pppd.h"
#include "platform/host/file_io.h"
#include "platform/linux/desktop/locale_language.h"
#include "platform/linux/pppd/pppd_call_log.h"
#include "platform/linux/pppd/pppd_line.h"
#include "platform/registry/file_registry.h"
#include "platform/sim/card/card_settings.h"
#include "platform/sim/card/pty_card.h"
#include "platform/sim/clock/device_task_timer.h"
#include "platform/sim/dialup/connections_file.h"
#include "platform/sim/dialup/ini_text.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine/installed_hardware.h"
#include "platform/sim/machine/machine_config.h"
#include "platform/sim/machine/machine_location.h"
#include "platform/sim/machine_power.h"
#include "platform/sim/web/cache_entry_file.h"
#include "shell/app_context.h"
#include "shell/version_check.h"
#include "system_machine.h"

namespace {

using namespace nimbra;

constexpr std::string_view kUsage =
    "usage: nimbra-machine init DIR [--windows 95|98|Me|NT3|NT4|2000|XP|other] [--language en|ja]\n"
    "                      [--card MODEL --port N [--instance NAME] | --no-card]\n"
    "       nimbra-machine init DIR --from-system [--windows ...] [--language en|ja]\n"
    "                      [--sysfs DIR] [--dev DIR]   the supported devices plugged in,\n"
    "                      dialled with pppd (--sysfs defaults to $NIMBRA_SYSFS_ROOT, else /sys)\n"
    "       nimbra-machine show [DIR]\n"
    "       nimbra-machine card [DIR]   serve the machine's card on a pseudo-terminal\n"
    "       nimbra-machine hangup [DIR] end the machine's dial-up connections (pppd's too)\n"
    "       nimbra-machine check [DIR]  whether this computer can make the machine's real calls\n"
    "       nimbra-machine --help\n"
    "init without --card installs the demo machine's KVT30-J data card on COM3.\n"
    "DIR defaults to the machine the program uses ($NIMBRA_MACHINE, else\n"
    "~/.local/share/nimbra/machine).\n";

int usage_error(std::string_view message) {
  std::cerr << "nimbra-machine: " << message << "\n" << kUsage;
  return 2;
}

// The devices of the catalogue plugged into this computer; false, with the reason told, when
// there is none to use.
bool take_system_devices(const std::filesystem::path& sysfs, const std::filesystem::path& dev,
                         sim::MachineSpec& spec) {
  if (app::take_system_devices(sysfs, dev, spec, {std::cout, std::cerr, "nimbra-machine"})) {
    return true;
  }
  std::cerr << "nimbra-machine: no supported card, adapter or cable is plugged into this "
               "computer (looked in "
            << sysfs.string() << "); nothing was written\n";
  return false;
}

int init(std::vector<std::string_view> args) {
  if (args.empty()) return usage_error("init needs a directory");
  sim::MachineSpec spec;
  spec.language = lnx::language_from_locale();
  sim::CardInstall device;
  const auto flag = std::find(args.begin() + 1, args.end(), "--from-system");
  const bool from_system = flag != args.end();
  if (from_system) args.erase(flag);
  std::filesystem::path sysfs = app::sysfs_root();
  std::filesystem::path dev = "/dev";
  bool no_card = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--no-card") {
      no_card = true;
      continue;
    }
    if (i + 1 >= args.size()) return usage_error(std::string(args[i]) + " needs a value");
    const std::string_view value = args[++i];
    if (args[i - 1] == "--windows") {
      const auto version = sim::parse_windows_version(value);
      if (!version) return usage_error("unknown Windows version " + std::string(value));
      spec.windows = *version;
    } else if (args[i - 1] == "--language") {
      if (value != "en" && value != "ja") return usage_error("language must be en or ja");
      spec.language = value == "ja" ? platform::Language::Japanese : platform::Language::English;
    } else if (args[i - 1] == "--card") {
      if (!sim::is_known_device(value)) return usage_error("unknown device " + std::string(value));
      device.device = value;
    } else if (args[i - 1] == "--port") {
      const int port = std::atoi(std::string(value).c_str());
      if (port < 1 || port > sim::kMaxCommPort) return usage_error("port must be 1 to 16");
      device.port = static_cast<int16_t>(port);
    } else if (args[i - 1] == "--instance") {
      device.instance = value;
    } else if (args[i - 1] == "--sysfs" && from_system) {
      sysfs = value;
    } else if (args[i - 1] == "--dev" && from_system) {
      dev = value;
    } else {
      return usage_error("unknown option " + std::string(args[i - 1]));
    }
  }
  if (device.device.empty() != (device.port == 0)) {
    return usage_error("--card and --port go together");
  }
  if (from_system && !device.device.empty()) return usage_error("--from-system finds the card");
  if (no_card && (from_system || !device.device.empty())) {
    return usage_error("--no-card goes with neither --card nor --from-system");
  }
  if (device.device.empty() && !no_card && !from_system) device = sim::demo_card();
  if (!device.device.empty()) spec.cards.push_back(device);
  if (from_system && !take_system_devices(sysfs, dev, spec)) return 1;
  sim::create_machine(std::filesystem::path(args[0]), spec);
  std::cout << "created machine " << args[0] << " (Windows "
            << sim::windows_version_name(spec.windows) << ", "
            << (spec.language == platform::Language::Japanese ? "ja" : "en") << ")\n";
  return 0;
}

// Runs the program's modem detection on the machine, as its start-up does.
std::string detected_modem(const std::filesystem::path& dir) {
  sim::Machine machine(dir);
  sim::Process& process = machine.start_process();
  shell::AppContext app(process.platform());
  const sim::VersionRecord v = sim::version_record_of(machine.config().windows);
  shell::OsClass os;
  shell::classify_version(v.platform_id, v.major, v.minor, os);
  app.OsCode = os.OsCode;
  app.IsWin9x = os.IsWin9x;
  try {
    detect::detect_modems(app);
  } catch (const sim::ProgramEnded&) {
    const auto& boxes = process.window().message_boxes();
    return boxes.empty() ? "none" : "none: " + boxes.back().text;
  }
  if (app.ModemCount == 0) return "not searched on this Windows";
  const shell::DetectedModem& modem = app.ModemList[0];
  return modem.model_name + " (" + modem.device_name + ") on COM" + std::to_string(modem.port);
}

int show(const std::vector<std::string_view>& args) {
  const std::filesystem::path dir =
      args.empty() ? sim::default_machine_dir() : std::filesystem::path(args[0]);
  const auto config = sim::MachineConfig::load(dir);
  std::cout << "machine    " << dir.string() << "\n"
            << "windows    " << sim::windows_version_name(config.windows) << " (directory "
            << sim::windows_directory_of(config.windows) << ")\n"
            << "language   " << (config.language == platform::Language::Japanese ? "ja" : "en")
            << " (ANSI code page " << static_cast<int>(config.code_page()) << ")\n"
            << "short date " << config.short_date_format << "\n";
  platform::FileRegistry registry(dir / sim::machine_files::kRegistry, config.code_page());
  (void)registry;
  std::cout << "registry   " << (dir / sim::machine_files::kRegistry).string() << " (valid)\n";
  for (const sim::CardInstall& card : sim::load_installed_cards(config.ini)) {
    std::cout << "device     " << card.device << " on COM" << card.port << "\n";
  }
  std::cout << "modem      " << detected_modem(dir) << "\n";
  const auto cache = dir / sim::machine_files::kWindows / sim::kCacheFolder;
  std::error_code ec;
  const auto pages =
      std::count_if(std::filesystem::directory_iterator(cache, ec),
                    std::filesystem::directory_iterator(), [](const auto& entry) {
                      return entry.path().extension() == sim::cache_entry_file::kExtension;
                    });
  std::cout << "cache      " << pages << " pages in " << cache.string() << "\n";
  const sim::ConnectionsFile connections(dir / sim::kConnectionsFile, config.code_page());
  for (const sim::Connection& c : connections.load().up) {
    std::cout << "connected  " << platform::from_ansi(c.entry, config.code_page()) << " on "
              << platform::from_ansi(c.device_name, config.code_page()) << " (handle "
              << sim::hex_number(c.handle) << ")\n";
  }
  const auto pppd_log = dir / lnx::kPppdCallLogFile;
  if (const auto lines = lnx::PppdCallLog::read(pppd_log); !lines.empty()) {
    std::cout << "pppd said  (last real call, " << pppd_log.string() << ")\n";
    for (const std::string& line : lines) std::cout << "           " << line << "\n";
  }
  const auto restart = sim::last_restart(dir);
  std::cout << "restarted  "
            << (restart ? sim::format_date_time(restart->time) + ": " + restart->reason : "never")
            << "\n";
  return 0;
}

// What a hang-up did to the link pppd carried.
std::string link_end_text(const lnx::PppdLine::LinkEnd& end) {
  switch (end.outcome) {
    case lnx::StopOutcome::AlreadyEnded:
      return "it had already ended";
    case lnx::StopOutcome::Terminated:
      return "it ended on SIGTERM";
    case lnx::StopOutcome::Killed:
      return "it did not end on SIGTERM and was killed";
  }
  return "";
}

// Ends the machine's dial-up connections as the program's hang-up does: on a machine that calls
// with pppd, the pppd of its link (its pid file) is ended and the line's lock removed; then the
// connection records go.
int hangup(const std::vector<std::string_view>& args) {
  const std::filesystem::path dir =
      args.empty() ? sim::default_machine_dir() : std::filesystem::path(args[0]);
  const auto config = sim::MachineConfig::load(dir);
  const auto pppd = app::machine_pppd_options(config, nullptr);
  if (pppd) {
    sim::Scheduler scheduler;  // nothing is scheduled: ending a link waits for it in place
    sim::DeviceTaskTimer tasks(scheduler);
    lnx::PppdLine line(*pppd, tasks);
    if (const auto end = line.end_link()) {
      std::cout << "ended pppd " << end->pid << " of link " << pppd->peer << ": "
                << link_end_text(*end) << "\n";
    } else {
      std::cout << "no pppd of link " << pppd->peer << " runs\n";
    }
  }
  const sim::ConnectionsFile connections(dir / sim::kConnectionsFile, config.code_page());
  // Under the file's lock, as the program's dial-up service changes it.
  const auto ended = connections.end_all();
  if (!ended) return 1;
  const char* noun = *ended == 1 ? " connection" : " connections";
  if (pppd) {
    std::cout << "cleared " << *ended << noun << " from " << sim::kConnectionsFile << "\n";
  } else {
    std::cout << "hung up " << *ended << noun << "\n";
  }
  return 0;
}

// Serves the card of the machine's [card] section until interrupted.
int card(const std::vector<std::string_view>& args) {
  const std::filesystem::path dir =
      args.empty() ? sim::default_machine_dir() : std::filesystem::path(args[0]);
  const auto config = sim::MachineConfig::load(dir);
  auto placement = sim::load_card(config.ini);
  if (!placement) placement = sim::CardPlacement{3, sim::CardSettings{}};
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  // Blocked before the card's thread starts, so only sigwait below sees them.
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  sim::PtyCard pty(placement->settings);
  std::cout << pty.slave_path().string() << std::endl;
  std::cerr << "serving " << placement->settings.device << " (answers "
            << placement->settings.model_code << ") of COM" << placement->port
            << "; interrupt to stop\n";
  int signal = 0;
  sigwait(&stop, &signal);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.empty()) return usage_error("no command");
  const std::string_view command = args.front();
  args.erase(args.begin());
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  try {
    if (command == "init") return init(args);
    if (command == "show") return show(args);
    if (command == "card") return card(args);
    if (command == "hangup") return hangup(args);
    if (command == "check") {
      return app::check_machine(
          args.empty() ? sim::default_machine_dir() : std::filesystem::path(args[0]), "/");
    }
  } catch (const std::exception& e) {
    std::cerr << "nimbra-machine: " << e.what() << "\n";
    return 1;
  }
  return usage_error("unknown command " + std::string(command));
}
