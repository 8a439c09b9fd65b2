#include "screenshot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace nimbra::app {

namespace {

// The single picture waits until a first start's call is through; the others begin early.
constexpr int kWindowDelayMs = 6000;
constexpr int kStartDelayMs = 1500;
constexpr int kPageSettleMs = 300;
constexpr int kSeriesIntervalMs = 500;
constexpr int kSeriesCount = 24;
constexpr int kCardInfoPage = 3;  // tab index

QWidget* shown_window() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && !qobject_cast<QMessageBox*>(w)) return w;
  }
  return nullptr;
}

// Lets events run for `ms` (a box that opens meanwhile is answered by the watch).
void settle(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

QTabBar* tab_bar(QWidget* window) {
  auto* tabs = window->findChild<QWidget*>("KorvoTab");
  auto* bar = tabs ? tabs->findChild<QTabBar*>() : nullptr;
  if (!bar) std::fprintf(stderr, "nimbra: no tab strip to page through\n");
  return bar;
}

QString numbered(const QString& prefix, int n, int width) {
  return prefix + "-" + QString::number(n).rightJustified(width, '0') + ".png";
}

}  // namespace

ScreenshotRun::ScreenshotRun(Mode mode, QString target, QObject* parent)
    : QObject(parent), mode_(mode), target_(std::move(target)), box_watch_(new QTimer(this)) {
  connect(box_watch_, &QTimer::timeout, this, &ScreenshotRun::answer_message_box);
  box_watch_->start(200);
}

void ScreenshotRun::start() {
  const int delay =
      mode_ == Mode::Window || mode_ == Mode::Measure ? kWindowDelayMs : kStartDelayMs;
  QTimer::singleShot(delay, this, [this] {
    QWidget* window = shown_window();
    if (!window) {
      std::fprintf(stderr, "nimbra: no window to take a picture of\n");
      QApplication::exit(1);
      return;
    }
    switch (mode_) {
      case Mode::Window:
        save(window, target_);
        break;
      case Mode::Pages:
        take_pages(window);
        break;
      case Mode::Series:
        take_series(window);
        break;
      case Mode::Measure:
        take_measurement(window);
        break;
    }
    QApplication::exit(0);
  });
}

void ScreenshotRun::answer_message_box() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  const QString base = mode_ == Mode::Window ? target_.chopped(4) : target_;
  save(box, base + "-box-" + QString::number(++boxes_seen_) + ".png");
  if (QPushButton* button = box->defaultButton()) {
    button->click();
  } else {
    box->accept();
  }
}

void ScreenshotRun::take_pages(QWidget* window) {
  QTabBar* bar = tab_bar(window);
  if (!bar) return;
  for (int page = 0; page < bar->count(); ++page) {
    bar->setCurrentIndex(page);
    settle(kPageSettleMs);
    save(window, numbered(target_, page + 1, 1));
  }
}

// The card cannot be measured during a call: a first start's call is hung up first. Measure
// blocks for the card's waits; the picture shows what it left on the page.
void ScreenshotRun::take_measurement(QWidget* window) {
  QTabBar* bar = tab_bar(window);
  if (!bar) return;
  auto* disconnect = window->findChild<QPushButton*>("CmdDiscnct");
  if (disconnect && disconnect->isEnabled()) {
    disconnect->click();
    settle(kPageSettleMs);
  }
  bar->setCurrentIndex(kCardInfoPage);
  settle(kPageSettleMs);
  auto* measure = window->findChild<QPushButton*>("CmdAnalyze");
  if (!measure || !measure->isEnabled()) {
    std::fprintf(stderr, "nimbra: Measure cannot be pressed\n");
    return;
  }
  measure->click();
  settle(kPageSettleMs);
  save(window, target_ + "-cardinfo.png");
}

void ScreenshotRun::take_series(QWidget* window) {
  for (int shot = 1; shot <= kSeriesCount; ++shot) {
    save(window, numbered(target_, shot, 2));
    settle(kSeriesIntervalMs);
  }
}

void ScreenshotRun::save(QWidget* widget, const QString& file) {
  if (widget->grab().save(file)) {
    std::printf("%s\n", qPrintable(file));
    std::fflush(stdout);
  } else {
    std::fprintf(stderr, "nimbra: cannot save %s\n", qPrintable(file));
  }
}

}  // namespace nimbra::app
