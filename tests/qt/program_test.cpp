// The program on a simulated machine through the real Qt widgets: what the user works and what
// the view paints.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "diag/card_info.h"
#include "dialup/redial.h"
#include "nimbra_test/test_machine.h"
#include "qt_program.h"
#include "qt_test_registry.h"
#include "shell/records/settings_record.h"

namespace nimbra::qt {
namespace {

// Settings with every start-up option off, so that nothing dials while the test works.
std::vector<uint8_t> quiet_settings() {
  shell::SettingsRecord record;
  record.UserName = record.Password = "qenvora";
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
    return child<W>(view_, name);
  }
  QTabBar* tab_bar() const { return widget<QWidget>("KorvoTab")->findChild<QTabBar*>(); }
  void click_tab(int page) {
    QTest::mouseClick(tab_bar(), Qt::LeftButton, {}, tab_bar()->tabRect(page - 1).center());
  }

  // On its round mark, which always takes the click.
  void click_option(const char* name) {
    auto* option = widget<QRadioButton>(name);
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
  }
  void start_on(sim::MachineSpec spec) {
    program_.reset();
    machine_ = std::make_unique<test::TestMachine>(spec);
    machine_->write_windows_file("nimbra1.dat", quiet_settings());
    program_ = std::make_unique<QtProgram>(machine_->machine());
    view_ = main_view();
  }

 private slots:
  void init() {
    start_on(test::with_card());
    QVERIFY(view_);
  }

  void cleanup() {
    program_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    machine_.reset();
  }

  // The window sits at the top right corner of the screen's free area, sized so that Apply is
  // its content's lower right corner; double clicks on the free area collapse it and bring its
  // full height back.
  void placementAndCollapse() {
    const QRect frame = view_->frameGeometry();
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(frame.x() + frame.width(), desktop.x() + desktop.width());
    QCOMPARE(frame.y(), 0);
    QCOMPARE(program_->app.FullHeight, frame.height());
    const QRect apply = widget<QPushButton>("CmdApply")->geometry();
    QVERIFY(view_->rect().contains(apply));
    QVERIFY(view_->width() - apply.right() <= 14);

    const int title_height = frame.height() - view_->height();
    QTest::mouseDClick(view_, Qt::LeftButton, {}, QPoint(view_->width() - 2, view_->height() - 2));
    QCOMPARE(view_->frameGeometry(),
             QRect(frame.topLeft(), QSize(frame.width(), title_height + 6)));
    QTest::mouseDClick(view_, Qt::LeftButton, {}, QPoint(view_->width() - 2, 2));
    QCOMPARE(view_->frameGeometry(), frame);
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

  // On Windows 98 the Optimize page's widgets follow the choice: Recommended fills both boxes
  // read-only and enables Apply; User defined empties and opens them, and an MTU typed above
  // 1500 shows as 1500 by the time the last key is down.
  void optimizePageThroughTheWidgets() {
    start_on(test::with_card(sim::WindowsVersion::Win98));
    QVERIFY(view_);
    click_tab(3);
    auto* mtu = widget<QLineEdit>("MtuTxt");
    QVERIFY(mtu->isReadOnly());
    click_option("TcpipOption_0");
    QCOMPARE(mtu->text(), QStringLiteral("1500"));
    QCOMPARE(widget<QLineEdit>("RwinTxt")->text(), QStringLiteral("17520"));
    QVERIFY(widget<QPushButton>("CmdApply")->isEnabled());
    click_option("TcpipOption_1");
    QVERIFY(!mtu->isReadOnly());
    QCOMPARE(mtu->text(), QString());
    QTest::keyClicks(mtu, "2000");
    QCOMPARE(mtu->text(), QStringLiteral("1500"));
    QCOMPARE(program_->app.TcpMtu, 1500);
  }

  // Each second of the redial countdown is on the screen when it starts, not one wait later.
  void redialCountdownPaintsAtOnce() {
    PaintRecorder log(machine_->machine(), {widget<QLabel>("StatusLbl")});
    const uint64_t start = machine_->machine().scheduler().now_ms();
    // The redial that follows is refused here; its message box is closed as it comes up.
    QTimer closer;
    connect(&closer, &QTimer::timeout, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    closer.start(50);
    program_->app.RedialArmed = true;
    dialup::RedialStep(program_->app);
    for (int64_t left = 5; left >= 1; --left) {
      const QString text =
          QString::fromStdString(dialup::countdown_text(program_->app.catalogue, 1, 10, left));
      const auto at = log.first_painted(text);
      QVERIFY2(at, qPrintable(text));
      QCOMPARE(*at, start + static_cast<uint64_t>(5 - left) * 1000);
    }
  }

  // A modem change loads the window as a first start does: the Dial-up page in front with its
  // tab, the redial boxes' own texts, six options, and the Option tab opens again.
  void modemChangeLoadsAFreshWindow() {
    auto* trials = widget<QLineEdit>("AutoDialTxt_0");
    trials->selectAll();
    QTest::keyClicks(trials, "7");
    click_tab(5);
    QTest::mouseClick(widget<QPushButton>("CmdRenew"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    view_ = main_view();
    QVERIFY(view_);
    QCOMPARE(tab_bar()->currentIndex(), 0);
    auto* user = widget<QLineEdit>("UserTxt");
    QCOMPARE(view_->childAt(user->mapTo(view_, user->rect().center())), user);
    QCOMPARE(widget<QLineEdit>("AutoDialTxt_0")->text(), QStringLiteral("3"));
    click_tab(5);
    auto* tree = widget<QTreeWidget>("SettingTree");
    QCOMPARE(tree->topLevelItemCount(), 6);
    QCOMPARE(view_->childAt(tree->mapTo(view_, tree->rect().center())), tree->viewport());
  }

  // Assistive tools see the page in front only; the pages behind it stay visible in the model.
  void onlyTheFrontPageIsShown() {
    const auto shown = [this](const char* name) {
      return !QAccessible::queryAccessibleInterface(widget<QWidget>(name))->state().invisible;
    };
    QVERIFY(shown("UserTxt"));
    QVERIFY(!shown("SettingTree"));
    QVERIFY(program_->app.main_form.Frames[4].visible);
    click_tab(5);
    QVERIFY(shown("SettingTree"));
    QVERIFY(!shown("UserTxt"));
  }

  // Measure paints the red lamp and the cleared page the moment it is pressed, before the
  // first wait; afterwards every lamp carries its colour as state under its control name.
  void measurePaintsBeforeWaiting() {
    click_tab(4);
    shell::MainForm& form = program_->app.main_form;
    form.TxtVersion.text = std::string("Ver 0.90");  // left by an earlier measurement
    form.Picture1[0].back_color = diag::lamp_color::kLevelOn;
    QCoreApplication::processEvents();
    auto* lamp = widget<QWidget>("StatusLump");
    auto* version = widget<QLineEdit>("TxtVersion");
    auto* first_level = widget<QWidget>("Picture1_0");
    PaintRecorder recorder(machine_->machine(), {lamp, version, first_level});
    const uint64_t pressed = machine_->machine().scheduler().now_ms();
    QTest::mouseClick(widget<QPushButton>("CmdAnalyze"), Qt::LeftButton);
    QCOMPARE(version->text(), QStringLiteral("Ver 1.00"));
    QCOMPARE(recorder.painted_at(lamp, pressed), QStringLiteral("#ff0000"));
    QCOMPARE(recorder.painted_at(version, pressed), QString());
    QCOMPARE(recorder.painted_at(first_level, pressed), QStringLiteral("#004000"));

    for (const auto& [name, color] : {std::pair{"Picture1_0", "#00ff00"},
                                      {"Picture1_13", "#004000"},
                                      {"Picture2_1", "#ffff00"},
                                      {"Picture2_2", "#404000"}}) {
      QCOMPARE(widget<QWidget>(name)->accessibleName(), QString::fromLatin1(name));
      QCOMPARE(widget<QWidget>(name)->accessibleDescription(), QString::fromLatin1(color));
    }
  }

  // Tab walks the visible page only, and fields carry their labels' names.
  void keyboardAndNames() {
    QApplication::setActiveWindow(view_);  // the program shows its window without activating it
    tab_bar()->setFocus();
    for (int step = 0; step < 20; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      const QWidget* focused = QApplication::focusWidget();
      QVERIFY(focused);
      for (const char* page : {"Frames_1", "Frames_2", "Frames_3", "Frames_4"}) {
        QVERIFY2(!widget<QWidget>(page)->isAncestorOf(focused), qPrintable(focused->objectName()));
      }
    }
    QCOMPARE(widget<QLineEdit>("UserTxt")->accessibleName(), QStringLiteral("Username"));
    QCOMPARE(widget<QLineEdit>("AutoDialTxt_1")->accessibleName(),
             QStringLiteral("Redial Interval"));
  }

  // Inquire on the call paints the answered date in blue on the Dial-up page.
  void inquiryPaintsTheDateBlue() {
    QTest::mouseClick(widget<QPushButton>("CmdConnect"), Qt::LeftButton);
    for (int step = 0; step < 100 && program_->app.ConnState != 1; ++step) {
      machine_->machine().run_for(100);
      QCoreApplication::processEvents();
    }
    auto* inquire = widget<QPushButton>("CmdLimit");
    QVERIFY(inquire->isEnabled());
    QTest::mouseClick(inquire, Qt::LeftButton);
    machine_->machine().run_for(100);
    QCoreApplication::processEvents();
    auto* label = widget<QLabel>("LblLimit");
    QCOMPARE(label->text(), QStringLiteral("27/03/06"));
    const QImage painted = label->grab().toImage();
    int blue = 0;
    for (int y = 0; y < painted.height(); ++y) {
      for (int x = 0; x < painted.width(); ++x) {
        const QColor c = painted.pixelColor(x, y);
        blue += c.blue() > 200 && c.red() < 100 && c.green() < 100;
      }
    }
    QVERIFY(blue > 10);
  }
};

static nimbra::qttest::Register<ProgramTest> reg;

}  // namespace nimbra::qt

#include "program_test.moc"
