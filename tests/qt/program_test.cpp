// The whole program logic on a simulated machine, shown by the real Qt window family: the user
// works the real widgets, the test reads the control objects and the settings file.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "nimbra_test/test_machine.h"
#include "platform/qt/qt_window.h"
#include "platform/sim/sim_ras.h"
#include "qt_test_registry.h"
#include "shell/settings_record.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace nimbra::qt {
namespace {

// One program instance on the machine with the Qt window family in place of the simulated one.
struct QtProgram {
  explicit QtProgram(sim::Machine& machine)
      : process(machine.start_process()),
        ras(machine.dialup(), window),
        services{machine.kernel(), machine.registry(), process.runtime(),
                 window,           process.comm(),     ras,
                 process.shell(),  machine.url_cache()},
        app(services) {
    app::install_subsystems(app);
    shell::Main(app);
  }

  sim::Process& process;
  QtWindow window;
  sim::SimRas ras;
  platform::Platform services;
  shell::AppContext app;
};

// Settings with every start-up option off, so that nothing dials while the test works.
std::vector<uint8_t> quiet_settings() {
  shell::SettingsRecord record;
  record.UserName = "qenvora";
  record.Password = "qenvora";
  const auto image = shell::encode_settings(record);
  return {image.begin(), image.end()};
}

constexpr size_t kMeasureOnStartFlag = 785;

}  // namespace

class ProgramTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TestMachine> machine_;
  std::unique_ptr<QtProgram> program_;
  QWidget* view_ = nullptr;

  template <class W>
  W* widget(const char* name) const {
    auto* found = view_->findChild<W*>(QString::fromLatin1(name));
    if (!found) qFatal("no widget %s", name);
    return found;
  }
  QTabBar* tab_bar() const { return widget<QWidget>("KorvoTab")->findChild<QTabBar*>(); }
  void click_tab(int page) {
    QTest::mouseClick(tab_bar(), Qt::LeftButton, {}, tab_bar()->tabRect(page - 1).center());
  }

 private slots:
  void init() {
    machine_ = std::make_unique<test::TestMachine>();
    machine_->write_windows_file("nimbra1.dat", quiet_settings());
    program_ = std::make_unique<QtProgram>(machine_->machine());
    view_ = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == QLatin1String("MainForm") && top->isVisible()) view_ = top;
    }
    QVERIFY(view_);
  }

  void cleanup() {
    program_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    machine_.reset();
  }

  // The window sits at the top right corner of the screen's free area, sized so that Apply is
  // its content's lower right corner; FullHeight is its height.
  void startupPlacement() {
    const QRect frame = view_->frameGeometry();
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(frame.x() + frame.width(), desktop.x() + desktop.width());
    QCOMPARE(frame.y(), 0);
    QCOMPARE(program_->app.FullHeight, frame.height());
    const QRect apply = widget<QPushButton>("CmdApply")->geometry();
    QVERIFY(view_->rect().contains(apply));
    QVERIFY(view_->width() - apply.right() <= 14);
  }

  // A tab click shows its page; toggling an option enables Apply, which saves the settings file
  // and goes dark again.
  void optionPageThroughTheWidgets() {
    shell::MainForm& form = program_->app.main_form;
    click_tab(5);
    QCOMPARE(form.KorvoTab.selected.get(), 5);
    auto* tree = widget<QTreeWidget>("SettingTree");
    QCOMPARE(view_->childAt(tree->mapTo(view_, tree->rect().center())), tree->viewport());

    auto* apply = widget<QPushButton>("CmdApply");
    QVERIFY(!apply->isEnabled());
    tree->setFocus();
    tree->setCurrentItem(tree->topLevelItem(1));
    QTest::keyClick(tree, Qt::Key_Space);
    QVERIFY(form.SettingTree.node(2).checked);
    QVERIFY(form.CmdApply.enabled);
    QVERIFY(apply->isEnabled());

    QTest::mouseClick(apply, Qt::LeftButton);
    QVERIFY(!form.CmdApply.enabled);
    const auto saved = machine_->read_windows_file("nimbra1.dat");
    QVERIFY(saved);
    QCOMPARE(saved->at(kMeasureOnStartFlag), uint8_t{0xFF});
    QCOMPARE(saved->at(kMeasureOnStartFlag + 1), uint8_t{0xFF});

    click_tab(4);
    QVERIFY(widget<QPushButton>("CmdAnalyze")->isVisible());
    QVERIFY(!widget<QLabel>("MsureTxt")->isVisible());
  }

  // Double clicks on the free area collapse the window and bring its full height back.
  void doubleClickCollapses() {
    const QRect full = view_->frameGeometry();
    const int frame_height = full.height() - view_->height();
    const QPoint free_area(view_->width() - 2, view_->height() - 2);
    QTest::mouseDClick(view_, Qt::LeftButton, {}, free_area);
    const QRect collapsed = view_->frameGeometry();
    QCOMPARE(collapsed.height(), frame_height + 6);
    QCOMPARE(collapsed.topLeft(), full.topLeft());
    QCOMPARE(collapsed.width(), full.width());
    QTest::mouseDClick(view_, Qt::LeftButton, {}, QPoint(view_->width() - 2, 2));
    QCOMPARE(view_->frameGeometry(), full);
  }

  // Tab walks the visible page only, and fields carry their labels' names.
  void keyboardAndNames() {
    // The program shows its window without activating it.
    QApplication::setActiveWindow(view_);
    tab_bar()->setFocus();
    const QWidget* hidden_pages[] = {widget<QWidget>("Frames_1"), widget<QWidget>("Frames_2"),
                                     widget<QWidget>("Frames_3"), widget<QWidget>("Frames_4")};
    for (int step = 0; step < 20; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      const QWidget* focused = QApplication::focusWidget();
      QVERIFY(focused);
      for (const QWidget* page : hidden_pages) {
        QVERIFY2(!page->isAncestorOf(focused), qPrintable(focused->objectName()));
      }
    }
    QCOMPARE(widget<QLineEdit>("UserTxt")->accessibleName(), QStringLiteral("Username"));
    QCOMPARE(widget<QLineEdit>("AutoDialTxt_1")->accessibleName(),
             QStringLiteral("Redial Interval"));
  }
};

static nimbra::qttest::Register<ProgramTest> reg;

}  // namespace nimbra::qt

#include "program_test.moc"
