// nimbra: the desktop program. It runs on the machine directory named by $NIMBRA_MACHINE (else
// ~/.local/share/nimbra/machine), creating the demo machine there on first start.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "desktop_platform.h"
#include "platform/linux/locale_language.h"
#include "platform/sim/machine_location.h"
#include "screenshot.h"
#include "shell/app_context.h"
#include "shell/startup.h"

namespace {

constexpr char kUsage[] =
    "usage: nimbra [--screenshot FILE]\n"
    "  --screenshot FILE  save a picture of the window once it is shown, then quit\n";

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QString screenshot;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == "--screenshot" && i + 1 < argc) {
      screenshot = QString::fromLocal8Bit(argv[++i]);
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }

  using namespace nimbra;
  const auto dir = sim::default_machine_dir();
  try {
    if (sim::ensure_demo_machine(dir, lnx::language_from_locale())) {
      std::fprintf(stderr, "nimbra: created the demo machine in %s\n", dir.c_str());
    }
    app::DesktopPlatform desktop(dir);
    shell::AppContext context(desktop.services());
    shell::Main(context);
    if (!screenshot.isEmpty()) app::take_screenshot_when_shown(screenshot, 1500);
    return QApplication::exec();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "nimbra: %s\n", e.what());
    QMessageBox::critical(nullptr, "Nimbra", QString::fromStdString(e.what()));
    return 1;
  }
}
