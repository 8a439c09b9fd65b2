// The cache deletion as the Qt window paints it: the work runs on the user-interface thread, so
// what a person sees of it is only what the window paints while it runs.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "nimbra_test/test_machine.h"
#include "nimbra_test/timed_url_cache.h"
#include "platform/qt/qt_window.h"
#include "platform/sim/sim_ras.h"
#include "qt_test_registry.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace nimbra::qt {
namespace {

// Records each painting of the progress bar and of its label, with what both showed then.
class PaintRecorder : public QObject {
 public:
  PaintRecorder(QProgressBar* bar, QLabel* label) : bar_(bar), label_(label) {
    bar_->installEventFilter(this);
    label_->installEventFilter(this);
  }
  struct Painting {
    bool of_label;
    QString label;
    int value;
  };
  std::vector<Painting> paintings;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      paintings.push_back({watched == label_, label_->text(), bar_->value()});
    }
    return false;
  }

 private:
  QProgressBar* bar_;
  QLabel* label_;
};

struct TimedQtProgram {
  explicit TimedQtProgram(sim::Machine& machine)
      : process(machine.start_process()),
        ras(machine.dialup(), window),
        cache(machine),
        services{machine.kernel(), machine.registry(), process.runtime(),
                 window,           process.comm(),     ras,
                 process.shell(),  process.http(),     cache},
        app(services) {
    app::install_subsystems(app);
    shell::Main(app);
  }

  sim::Process& process;
  QtWindow window;
  sim::SimRas ras;
  test::TimedUrlCache cache;
  platform::Platform services;
  shell::AppContext app;
};

}  // namespace

class CachePaintTest : public QObject {
  Q_OBJECT

 private slots:
  // Deleting 300 cached pages through the widgets paints "Calculating..." and then
  // "Deleting..." with the bar moving, and leaves the cache empty and the progress hidden.
  void deletionIsPaintedWhileItRuns() {
    test::TestMachine machine(test::with_card(), "[cache]\nentries = 300\n");
    auto program = std::make_unique<TimedQtProgram>(machine.machine());
    QWidget* view = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == QLatin1String("MainForm") && top->isVisible()) view = top;
    }
    QVERIFY(view);
    // The window paints once it has taken its first exposure, as it has long before a person
    // clicks anything.
    QTRY_VERIFY(view->testAttribute(Qt::WA_Mapped));
    auto* tabs = view->findChild<QWidget*>(QStringLiteral("KorvoTab"))->findChild<QTabBar*>();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    auto* bar = view->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    auto* label = view->findChild<QLabel*>(QStringLiteral("LabProgress"));
    QVERIFY(bar && label);
    QVERIFY(!bar->isVisible());
    PaintRecorder recorder(bar, label);

    auto* box = view->findChild<QCheckBox*>(QStringLiteral("CheckCash"));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("CmdApply")), Qt::LeftButton);

    // The label is painted with each of its texts, in order, while the work runs.
    QStringList label_texts;
    std::vector<int> collecting;
    std::vector<int> deleting;
    for (const auto& painting : recorder.paintings) {
      if (painting.of_label) {
        if (label_texts.isEmpty() || label_texts.back() != painting.label) {
          label_texts.append(painting.label);
        }
        continue;
      }
      if (painting.label == QStringLiteral("Calculating...")) collecting.push_back(painting.value);
      if (painting.label == QStringLiteral("Deleting...")) deleting.push_back(painting.value);
    }
    QCOMPARE(label_texts, (QStringList{QStringLiteral("Calculating..."),
                                       QStringLiteral("Deleting..."), QStringLiteral("Deleted.")}));
    // Collecting 300 entries, the bar wraps from 100 to 0; deleting, it only rises.
    QVERIFY(collecting.size() >= 5);
    QVERIFY(!std::is_sorted(collecting.begin(), collecting.end()));
    QVERIFY(deleting.size() >= 3);
    QVERIFY(std::is_sorted(deleting.begin(), deleting.end()));
    QVERIFY(deleting.back() > 50);
    QVERIFY(!bar->isVisible());
    QVERIFY(!box->isChecked());
    QCOMPARE(program->cache.deleted.size(), size_t{300});
    QVERIFY(std::filesystem::is_empty(machine.machine().url_cache().folder()));
    program.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

static nimbra::qttest::Register<CachePaintTest> reg;

}  // namespace nimbra::qt

#include "cache_paint_test.moc"
