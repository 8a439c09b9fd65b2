// nimbra-machine: creates a simulated machine and shows what it holds.
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "platform/file_registry.h"
#include "platform/linux/locale_language.h"
#include "platform/sim/machine_config.h"
#include "platform/sim/card_settings.h"
#include "platform/sim/machine_location.h"
#include "platform/sim/pty_card.h"

namespace {

using namespace nimbra;

constexpr std::string_view kUsage =
    "usage: nimbra-machine init DIR [--windows 95|98|Me|NT3|NT4|2000|XP|other] [--language en|ja]\n"
    "       nimbra-machine show [DIR]\n"
    "       nimbra-machine card [DIR]   serve the machine's card on a pseudo-terminal\n"
    "DIR defaults to the machine the program uses ($NIMBRA_MACHINE, else\n"
    "~/.local/share/nimbra/machine).\n";

int usage_error(std::string_view message) {
  std::cerr << "nimbra-machine: " << message << "\n" << kUsage;
  return 2;
}

int init(const std::vector<std::string_view>& args) {
  if (args.empty()) return usage_error("init needs a directory");
  sim::MachineSpec spec;
  spec.language = lnx::language_from_locale();
  for (size_t i = 1; i < args.size(); ++i) {
    if (i + 1 >= args.size()) return usage_error(std::string(args[i]) + " needs a value");
    const std::string_view value = args[++i];
    if (args[i - 1] == "--windows") {
      const auto version = sim::parse_windows_version(value);
      if (!version) return usage_error("unknown Windows version " + std::string(value));
      spec.windows = *version;
    } else if (args[i - 1] == "--language") {
      if (value != "en" && value != "ja") return usage_error("language must be en or ja");
      spec.language = value == "ja" ? platform::Language::Japanese : platform::Language::English;
    } else {
      return usage_error("unknown option " + std::string(args[i - 1]));
    }
  }
  sim::create_machine(std::filesystem::path(args[0]), spec);
  std::cout << "created machine " << args[0] << " (Windows " << sim::windows_version_name(spec.windows)
            << ", " << (spec.language == platform::Language::Japanese ? "ja" : "en") << ")\n";
  return 0;
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
  try {
    if (command == "init") return init(args);
    if (command == "show") return show(args);
    if (command == "card") return card(args);
  } catch (const std::exception& e) {
    std::cerr << "nimbra-machine: " << e.what() << "\n";
    return 1;
  }
  return usage_error("unknown command " + std::string(command));
}
