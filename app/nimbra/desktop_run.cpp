// SPDX-License-Identifier: MIT
#include "desktop_run.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string_view>

#include "desktop_platform.h"
#include "platform/linux/desktop/locale_language.h"
#include "platform/sim/machine/machine_location.h"
#include "shell/app_context.h"
#include "shell/startup.h"
#include "system_machine.h"
#include "wiring/subsystems.h"

namespace nimbra::app {

namespace {

// The toolkit's own texts (message box buttons) in the user's language.
void install_toolkit_translation(QApplication& qapp, platform::Language language) {
  if (language != platform::Language::Japanese) return;
  auto* translator = new QTranslator(&qapp);
  if (translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
}

}  // namespace

int run_desktop(QApplication& qapp, const DesktopRunOptions& options) {
  const auto dir = sim::default_machine_dir();
  try {
    ensure_machine(dir, lnx::language_from_locale(), sysfs_root(), std::cerr);
    DesktopPlatform desktop(dir);
    install_toolkit_translation(qapp, desktop.services().runtime.ui_language());
    shell::AppContext context(desktop.services());
    install_subsystems(context);
    desktop.window().set_before_widgets(options.before_window);
    shell::Main(context);
    if (options.on_started) options.on_started();
    return QApplication::exec();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "nimbra: %s\n", e.what());
    if (options.show_errors_in_box) {
      QMessageBox::critical(nullptr, "Nimbra", QString::fromStdString(e.what()));
    }
    return 1;
  }
}

bool asks_for_help(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") return true;
  }
  return false;
}

}  // namespace nimbra::app
