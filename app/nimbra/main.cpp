// nimbra: the desktop program. It runs on the machine directory named by $NIMBRA_MACHINE (else
// ~/.local/share/nimbra/machine), creating the demo machine there on first start.
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>
#include <exception>
#include <optional>
#include <string_view>

#include "desktop_platform.h"
#include "platform/linux/desktop/locale_language.h"
#include "platform/sim/machine/machine_location.h"
#include "screenshot.h"
#include "shell/app_context.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace {

constexpr char kUsage[] =
    "usage: nimbra [--screenshot FILE | --screenshot-pages PREFIX | --screenshot-series PREFIX\n"
    "               | --screenshot-inquiry FILE | --screenshot-measure PREFIX\n"
    "               | --screenshot-cache PREFIX]\n"
    "       nimbra --help\n"
    "  --screenshot FILE          save a picture of the window once it is shown, then quit\n"
    "  --screenshot-pages PREFIX  save PREFIX-1.png .. PREFIX-5.png, one per page, then quit\n"
    "  --screenshot-series PREFIX save the window every half second for twelve seconds\n"
    "  --screenshot-inquiry FILE  as --screenshot, after pressing Inquire on the call\n"
    "  --screenshot-measure PREFIX press Measure on the CardInfo page: PREFIX-measuring.png\n"
    "                             while it measures, PREFIX-cardinfo.png afterwards\n"
    "  --screenshot-cache PREFIX  delete the browser cache on the Accelerator page and save\n"
    "                             PREFIX-calculating.png and PREFIX-deleting.png while it runs,\n"
    "                             PREFIX-after.png after it\n"
    "Picture-taking runs photograph message boxes (PREFIX-box-N.png) and answer them.\n";

// The toolkit's own texts (message box buttons) in the user's language.
void install_toolkit_translation(QApplication& qapp, nimbra::platform::Language language) {
  if (language != nimbra::platform::Language::Japanese) return;
  auto* translator = new QTranslator(&qapp);
  if (translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Before the toolkit, which needs a display.
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  QApplication qapp(argc, argv);
  using nimbra::app::ScreenshotRun;
  ScreenshotRun* pictures = nullptr;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    const bool has_value = i + 1 < argc && !pictures;
    const auto mode = arg == "--screenshot"           ? ScreenshotRun::Mode::Window
                      : arg == "--screenshot-pages"   ? ScreenshotRun::Mode::Pages
                      : arg == "--screenshot-series"  ? ScreenshotRun::Mode::Series
                      : arg == "--screenshot-inquiry" ? ScreenshotRun::Mode::Inquiry
                      : arg == "--screenshot-measure" ? ScreenshotRun::Mode::Measure
                      : arg == "--screenshot-cache"   ? ScreenshotRun::Mode::CacheDeletion
                                                      : std::optional<ScreenshotRun::Mode>{};
    if (!mode || !has_value) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    pictures = new ScreenshotRun(*mode, QString::fromLocal8Bit(argv[++i]), &qapp);
  }

  using namespace nimbra;
  const auto dir = sim::default_machine_dir();
  try {
    if (sim::ensure_demo_machine(dir, lnx::language_from_locale())) {
      std::fprintf(stderr, "nimbra: created the demo machine in %s\n", dir.c_str());
    }
    app::DesktopPlatform desktop(dir);
    install_toolkit_translation(qapp, desktop.services().runtime.ui_language());
    shell::AppContext context(desktop.services());
    app::install_subsystems(context);
    shell::Main(context);
    if (pictures) pictures->start();
    return QApplication::exec();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "nimbra: %s\n", e.what());
    // A picture-taking run has nobody to close the box.
    if (!pictures) {
      QMessageBox::critical(nullptr, "Nimbra", QString::fromStdString(e.what()));
    }
    return 1;
  }
}
