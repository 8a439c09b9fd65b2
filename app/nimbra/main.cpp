// SPDX-License-Identifier: MIT
// nimbra: the desktop program. It runs on the machine directory named by $NIMBRA_MACHINE (else
// ~/.local/share/nimbra/machine), creating it on first start: from this computer when a
// supported device is plugged in, else the demo machine.
#include <malloc.h>

#include <QApplication>
#include <cstdio>

#include "desktop_run.h"
#include "font_warmup.h"
#include "platform/linux/desktop/locale_language.h"
#include "platform/qt/widgets/look.h"

namespace {

constexpr char kUsage[] =
    "usage: nimbra [--help]\n"
    "Runs the connection manager on the machine in $NIMBRA_MACHINE, else in\n"
    "~/.local/share/nimbra/machine ($XDG_DATA_HOME/nimbra/machine). On the first start it is\n"
    "made from this computer when a supported card, adapter or cable is plugged in (calls go\n"
    "over pppd), else it is the demo machine. The devices are looked for in\n"
    "$NIMBRA_SYSFS_ROOT, else /sys. The language follows the locale (LANG=ja_JP.UTF-8).\n";

}  // namespace

int main(int argc, char** argv) {
  if (nimbra::app::asks_for_help(argc, argv)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // One heap for the few threads, which allocate little after the start: a heap per thread
  // would hold on to what the font loading freed and raise the peak.
  mallopt(M_ARENA_MAX, 1);
  nimbra::app::FontWarmup fonts;
  QApplication qapp(argc, argv);  // takes the toolkit's own options out of argv
  if (argc > 1) {
    std::fprintf(stderr, "nimbra: unknown argument %s\n%s", argv[1], kUsage);
    return 2;
  }
  fonts.toolkit_started(nimbra::qt::classic_font(nimbra::lnx::language_from_locale()));
  nimbra::app::DesktopRunOptions options;
  options.before_window = [&fonts] { fonts.wait(); };
  const int status = nimbra::app::run_desktop(qapp, options);
  // A start that failed before its window may leave the font thread in the toolkit, which
  // goes away before `fonts` does.
  fonts.wait();
  return status;
}
