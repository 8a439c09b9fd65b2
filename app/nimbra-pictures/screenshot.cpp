// SPDX-License-Identifier: MIT
#include "screenshot.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace nimbra::app {

namespace {

// The single picture waits until a first start's call is through; the others begin early.
constexpr int kWindowDelayMs = 6000;
constexpr int kStartDelayMs = 1500;
constexpr int kPageSettleMs = 300;
constexpr int kSeriesIntervalMs = 500;
constexpr int kSeriesCount = 24;
constexpr int kAnswerWaitMs = 2000;
constexpr int kCardInfoPage = 3;  // tab index
constexpr int kSheetColumns = 3;
constexpr int kSheetGap = 12;

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
  if (!bar) std::fprintf(stderr, "nimbra-pictures: no tab strip to page through\n");
  return bar;
}

// Each page in turn as a tab click shows it.
std::vector<QPixmap> page_pictures(QWidget* window, QTabBar* bar) {
  std::vector<QPixmap> pages;
  for (int page = 0; page < bar->count(); ++page) {
    bar->setCurrentIndex(page);
    settle(kPageSettleMs);
    pages.push_back(window->grab());
  }
  return pages;
}

// Saves a picture of the window the first time it is redrawn with the watched widget in red:
// the window's redraw at the start of a measurement, while the program then waits for the
// card. The redraw is done first and the picture taken after it, never from inside a painting.
class RedPaintingPicture : public QObject {
 public:
  RedPaintingPicture(QWidget* watched, QWidget* window, std::function<void(QWidget*)> save)
      : QObject(watched), watched_(watched), window_(window), save_(std::move(save)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (taken_ || target != window_ || event->type() != QEvent::UpdateRequest ||
        watched_->palette().color(QPalette::Window) != Qt::red) {
      return false;
    }
    taken_ = true;
    static_cast<QObject*>(window_)->event(event);  // the redraw
    save_(window_);
    return true;
  }

 private:
  QWidget* watched_;
  QWidget* window_;
  std::function<void(QWidget*)> save_;
  bool taken_ = false;
};

QString numbered(const QString& prefix, int n, int width) {
  return prefix + "-" + QString::number(n).rightJustified(width, '0') + ".png";
}

void save_picture(const QPixmap& picture, const QString& file) {
  if (picture.save(file)) {
    std::printf("%s\n", qPrintable(file));
    std::fflush(stdout);
  } else {
    std::fprintf(stderr, "nimbra-pictures: cannot save %s\n", qPrintable(file));
  }
}

// The deletion runs on the user-interface thread, so nothing can be scheduled while it runs.
// Until a painting of the progress bar is done the screen still shows the one before; so at
// each painting this takes the window from the screen when the one before showed a pass well
// under way, or a pass's last moment: one picture for each of the two passes.
class DeletionCamera : public QObject {
 public:
  DeletionCamera(QWidget* window, QProgressBar* bar, QLabel* label, QString prefix)
      : window_(window), bar_(bar), label_(label), prefix_(std::move(prefix)) {
    bar_->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != bar_ || event->type() != QEvent::Paint) return false;
    const bool pass_shown = !shown_text_.isEmpty() && shown_text_ != photographed_;
    if (pictures_ < 2 && pass_shown && (shown_value_ >= 40 || label_->text() != shown_text_)) {
      const char* name = pictures_++ == 0 ? "calculating" : "deleting";
      save_picture(window_->screen()->grabWindow(window_->winId()), prefix_ + "-" + name + ".png");
      photographed_ = shown_text_;
    }
    shown_text_ = label_->text();
    shown_value_ = bar_->value();
    return false;
  }

 private:
  QWidget* window_;
  QProgressBar* bar_;
  QLabel* label_;
  QString prefix_;
  QString shown_text_;
  int shown_value_ = 0;
  QString photographed_;
  int pictures_ = 0;
};

}  // namespace

ScreenshotRun::ScreenshotRun(Mode mode, QString target, QObject* parent)
    : QObject(parent), mode_(mode), target_(std::move(target)), box_watch_(new QTimer(this)) {
  connect(box_watch_, &QTimer::timeout, this, &ScreenshotRun::answer_message_box);
  box_watch_->start(200);
}

void ScreenshotRun::start() {
  const int delay = mode_ == Mode::Window || mode_ == Mode::Inquiry || mode_ == Mode::Measure ||
                            mode_ == Mode::Sheet
                        ? kWindowDelayMs
                        : kStartDelayMs;
  QTimer::singleShot(delay, this, [this] {
    QWidget* window = shown_window();
    if (!window) {
      std::fprintf(stderr, "nimbra-pictures: no window to take a picture of\n");
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
      case Mode::Measure:
        take_measurement(window);
        break;
      case Mode::CacheDeletion:
        take_cache_deletion(window);
        break;
      case Mode::Sheet:
        take_sheet(window);
        break;
    }
    QApplication::exit(0);
  });
}

void ScreenshotRun::answer_message_box() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  const bool to_file = mode_ == Mode::Window || mode_ == Mode::Inquiry || mode_ == Mode::Sheet;
  const QString base = to_file ? target_.chopped(4) : target_;
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
  const std::vector<QPixmap> pages = page_pictures(window, bar);
  for (size_t page = 0; page < pages.size(); ++page) {
    save_picture(pages[page], numbered(target_, static_cast<int>(page) + 1, 1));
  }
}

void ScreenshotRun::inquire(QWidget* window) {
  auto* button = window->findChild<QPushButton*>("CmdLimit");
  if (!button || !button->isEnabled()) {
    std::fprintf(stderr, "nimbra-pictures: Inquire cannot be pressed (is the call up?)\n");
    return;
  }
  button->click();
  settle(kAnswerWaitMs);
}

// The card cannot be measured during a call: a first start's call is hung up first. Measure
// blocks for the card's waits; one picture shows the window as redrawn when they begin, the
// other what the measurement left on the page.
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
    std::fprintf(stderr, "nimbra-pictures: Measure cannot be pressed\n");
    return;
  }
  auto* lamp = window->findChild<QWidget*>("StatusLump");
  if (lamp) {
    new RedPaintingPicture(lamp, window,
                           [this](QWidget* w) { save(w, target_ + "-measuring.png"); });
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

void ScreenshotRun::take_cache_deletion(QWidget* window) {
  // A page gets its widgets when it first comes to the front.
  auto* bar = window->findChild<QTabBar*>();
  if (bar) {
    bar->setCurrentIndex(1);
    settle(kPageSettleMs);
  }
  auto* progress = window->findChild<QProgressBar*>("ProgressBar1");
  auto* label = window->findChild<QLabel*>("LabProgress");
  auto* box = window->findChild<QCheckBox*>("CheckCash");
  auto* apply = window->findChild<QPushButton*>("CmdApply");
  if (!bar || !progress || !label || !box || !apply) {
    std::fprintf(stderr, "nimbra-pictures: no Accelerator page to delete the cache on\n");
    return;
  }
  box->click();
  settle(kPageSettleMs);
  {
    DeletionCamera camera(window, progress, label, target_);
    apply->click();
  }
  settle(kPageSettleMs);
  save(window, target_ + "-after.png");
}

// The window's title goes above the pages, as its frame is not part of a widget's picture. A
// window without pages (the access-code window a locked start shows first) is taken alone.
void ScreenshotRun::take_sheet(QWidget* window) {
  auto* tabs = window->findChild<QWidget*>("KorvoTab");
  QTabBar* bar = tabs ? tabs->findChild<QTabBar*>() : nullptr;
  const std::vector<QPixmap> pages =
      bar ? page_pictures(window, bar) : std::vector<QPixmap>{window->grab()};
  const QSize cell = pages.front().size() / pages.front().devicePixelRatio();
  const int columns = std::min(kSheetColumns, static_cast<int>(pages.size()));
  const int rows = (static_cast<int>(pages.size()) + columns - 1) / columns;
  const int title_height = window->fontMetrics().height() + kSheetGap;
  QPixmap sheet(columns * (cell.width() + kSheetGap) + kSheetGap,
                title_height + rows * (cell.height() + kSheetGap) + kSheetGap);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  painter.setFont(window->font());
  painter.drawText(QRect(kSheetGap, kSheetGap / 2, sheet.width() - 2 * kSheetGap, title_height),
                   Qt::AlignLeft | Qt::AlignVCenter, window->windowTitle());
  for (size_t i = 0; i < pages.size(); ++i) {
    const int column = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
    painter.drawPixmap(kSheetGap + column * (cell.width() + kSheetGap),
                       title_height + kSheetGap + row * (cell.height() + kSheetGap), pages[i]);
  }
  painter.end();
  save_picture(sheet, target_);
}

void ScreenshotRun::save(QWidget* widget, const QString& file) {
  save_picture(widget->grab(), file);
}

}  // namespace nimbra::app
