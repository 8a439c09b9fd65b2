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
constexpr int kAnswerWaitMs = 2000;

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
      mode_ == Mode::Window || mode_ == Mode::Inquiry ? kWindowDelayMs : kStartDelayMs;
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
      case Mode::Inquiry:
        inquire(window);
        save(window, target_);
        break;
    }
    QApplication::exit(0);
  });
}

void ScreenshotRun::answer_message_box() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  const bool to_file = mode_ == Mode::Window || mode_ == Mode::Inquiry;
  const QString base = to_file ? target_.chopped(4) : target_;
  save(box, base + "-box-" + QString::number(++boxes_seen_) + ".png");
  if (QPushButton* button = box->defaultButton()) {
    button->click();
  } else {
    box->accept();
  }
}

void ScreenshotRun::take_pages(QWidget* window) {
  auto* tabs = window->findChild<QWidget*>("KorvoTab");
  auto* bar = tabs ? tabs->findChild<QTabBar*>() : nullptr;
  if (!bar) {
    std::fprintf(stderr, "nimbra: no tab strip to page through\n");
    return;
  }
  for (int page = 0; page < bar->count(); ++page) {
    bar->setCurrentIndex(page);
    settle(kPageSettleMs);
    save(window, numbered(target_, page + 1, 1));
  }
}

void ScreenshotRun::inquire(QWidget* window) {
  auto* button = window->findChild<QPushButton*>("CmdLimit");
  if (!button || !button->isEnabled()) {
    std::fprintf(stderr, "nimbra: Inquire cannot be pressed (is the call up?)\n");
    return;
  }
  button->click();
  settle(kAnswerWaitMs);
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
