// SPDX-License-Identifier: MIT
// Picture-taking runs, for a person without a display and for reviewing the window: message
// boxes are photographed and answered with their default button, so nothing waits for a person.
#pragma once

#include <QObject>
#include <QString>

class QTimer;
class QWidget;

namespace nimbra::app {

class ScreenshotRun : public QObject {
  Q_OBJECT

 public:
  enum class Mode {
    Window,   // one picture of the window a few seconds in: TARGET is the file
    Pages,    // each page in turn as a tab click shows it: TARGET-1.png .. TARGET-5.png
    Series,   // the window every half second for twelve seconds: TARGET-01.png ..
    Inquiry,  // as Window, once Inquire was pressed and its answer has come
    Measure,  // the CardInfo page while measuring and after: TARGET-measuring.png, -cardinfo.png
    // "Delete cache" applied on the Accelerator page, photographed from the screen while it
    // runs: TARGET-calculating.png, TARGET-deleting.png, then TARGET-after.png
    CacheDeletion,
    // Every page as the window shows it a few seconds in, side by side in one picture: TARGET
    Sheet,
  };

  // Starts answering message boxes at once (start-up may show some).
  ScreenshotRun(Mode mode, QString target, QObject* parent);

  // Takes the pictures once the window has been up a moment, then quits the program.
  void start();

 private:
  void answer_message_box();
  void take_pages(QWidget* window);
  void take_series(QWidget* window);
  void inquire(QWidget* window);
  void take_measurement(QWidget* window);
  void take_cache_deletion(QWidget* window);
  void take_sheet(QWidget* window);
  void save(QWidget* widget, const QString& file);

  Mode mode_;
  QString target_;
  QTimer* box_watch_;
  int boxes_seen_ = 0;
};

}  // namespace nimbra::app
