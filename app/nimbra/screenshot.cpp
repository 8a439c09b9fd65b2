#include "screenshot.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace nimbra::app {

void take_screenshot_when_shown(const QString& file, int delay_ms) {
  QTimer::singleShot(delay_ms, [file] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible()) continue;
      if (!w->grab().save(file)) std::fprintf(stderr, "nimbra: cannot save %s\n", qPrintable(file));
      break;
    }
    QApplication::exit(0);
  });
}

}  // namespace nimbra::app
