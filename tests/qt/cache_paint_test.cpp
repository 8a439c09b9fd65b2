// SPDX-License-Identifier: MIT
// The cache deletion runs on the user-interface thread, so all a person sees of it is what the
// window paints while it runs.
#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "nimbra_test/test_machine.h"
#include "nimbra_test/timed_url_cache.h"
#include "qt_program.h"
#include "qt_test_registry.h"

namespace nimbra::qt {

class CachePaintTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qttest::fail_on_warnings(); }

  // Deleting 300 cached pages paints "Calculating..." with the bar wrapping, then "Deleting..."
  // with it rising, and leaves the cache empty and the progress hidden.
  void deletionIsPaintedWhileItRuns() {
    test::TestMachine machine(test::with_card(), "[cache]\nentries = 300\n");
    test::TimedUrlCache cache(machine.machine());
    auto program = std::make_unique<QtProgram>(machine.machine(), &cache);
    QWidget* view = main_view();
    QVERIFY(view);
    QTRY_VERIFY(view->testAttribute(Qt::WA_Mapped));  // exposed, as long before any click
    auto* tabs = view->findChild<QWidget*>(QStringLiteral("KorvoTab"))->findChild<QTabBar*>();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    auto* bar = view->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    auto* label = view->findChild<QLabel*>(QStringLiteral("LabProgress"));
    QVERIFY(bar && label && !bar->isVisible());
    PaintRecorder recorder(machine.machine(), {bar, label});

    auto* box = view->findChild<QCheckBox*>(QStringLiteral("CheckCash"));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("CmdApply")), Qt::LeftButton);

    QStringList label_texts;
    std::vector<int> collecting;
    std::vector<int> deleting;
    for (const auto& painting : recorder.paintings()) {
      if (painting.widget == label->objectName()) {
        if (label_texts.isEmpty() || label_texts.back() != painting.look) {
          label_texts.append(painting.look);
        }
      } else if (label_texts.endsWith(QStringLiteral("Calculating..."))) {
        collecting.push_back(painting.look.toInt());
      } else if (label_texts.endsWith(QStringLiteral("Deleting..."))) {
        deleting.push_back(painting.look.toInt());
      }
    }
    QCOMPARE(label_texts, (QStringList{QStringLiteral("Calculating..."),
                                       QStringLiteral("Deleting..."), QStringLiteral("Deleted.")}));
    QVERIFY(collecting.size() >= 5);
    QVERIFY(!std::is_sorted(collecting.begin(), collecting.end()));
    QVERIFY(deleting.size() >= 3);
    QVERIFY(std::is_sorted(deleting.begin(), deleting.end()));
    QVERIFY(deleting.back() > 50);
    QVERIFY(!bar->isVisible());
    QVERIFY(!box->isChecked());
    QCOMPARE(cache.deleted.size(), size_t{300});
    QVERIFY(std::filesystem::is_empty(machine.machine().url_cache().folder()));
    program.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

static nimbra::qttest::Register<CachePaintTest> reg;

}  // namespace nimbra::qt

#include "cache_paint_test.moc"
