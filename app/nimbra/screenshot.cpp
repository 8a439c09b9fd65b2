#include "screenshot.h"

#include <QApplication>
#include <QPixmap>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace nimbra::app {

namespace {

QWidget* shown_window() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible()) return w;
  }
  return nullptr;
}

void save(QWidget* window, const QString& file) {
  if (window && window->grab().save(file)) {
    std::printf("%s\n", qPrintable(file));
  } else {
    std::fprintf(stderr, "nimbra: cannot save %s\n", qPrintable(file));
  }
}

constexpr int kSettleMs = 300;

}  // namespace

void take_screenshot_when_shown(const QString& file, int delay_ms) {
  QTimer::singleShot(delay_ms, [file] {
    save(shown_window(), file);
    QApplication::exit(0);
  });
}

void take_page_screenshots_when_shown(const QString& prefix, int delay_ms) {
  QTimer::singleShot(delay_ms, [prefix] {
    QWidget* window = shown_window();
    auto* tabs = window ? window->findChild<QWidget*>("KorvoTab") : nullptr;
    auto* bar = tabs ? tabs->findChild<QTabBar*>() : nullptr;
    if (!bar) {
      std::fprintf(stderr, "nimbra: no tab strip to page through\n");
      QApplication::exit(1);
      return;
    }
    for (int page = 0; page < bar->count(); ++page) {
      bar->setCurrentIndex(page);
      QTimer timer;
      timer.start(kSettleMs);
      while (timer.remainingTime() > 0) QApplication::processEvents(QEventLoop::AllEvents, 50);
      save(window, prefix + "-" + QString::number(page + 1) + ".png");
    }
    QApplication::exit(0);
  });
}

}  // namespace nimbra::app
