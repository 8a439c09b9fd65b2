// SPDX-License-Identifier: MIT
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
#include <set>
#include <string_view>
#include <vector>

#include "diag/card_info.h"
#include "dialup/redial.h"
#include "nimbra_test/test_machine.h"
#include "qt_program.h"
#include "qt_test_registry.h"
#include "shell/records/settings_record.h"

namespace nimbra::qt {
namespace {

// Settings with every start-up option off, so that nothing dials while the test works.
std::vector<uint8_t> quiet_settings(const char* user_name = "qenvora") {
  shell::SettingsRecord record;
  record.UserName = user_name;
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
  void start_on(sim::MachineSpec spec, std::string_view extra_ini = "",
                const char* user_name = "qenvora") {
    program_.reset();
    machine_ = std::make_unique<test::TestMachine>(spec, extra_ini);
    machine_->write_windows_file("nimbra1.dat", quiet_settings(user_name));
    program_ = std::make_unique<QtProgram>(machine_->machine());
    view_ = main_view();
  }

 private slots:
  void init() {
    qttest::fail_on_warnings();
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
    // A page never brought to the front has no widgets yet.
    const auto shown = [this](const char* name) {
      auto* found = view_->findChild<QWidget*>(QString::fromLatin1(name));
      return found && !QAccessible::queryAccessibleInterface(found)->state().invisible;
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
  }

  // An assistive tool works the window as a person does: its Toggle action on an option runs
  // the option's click handling (choosing Zephyr enables Apply), and a user name it enters
  // through the text interface is the one dialled.
  void assistiveToolWorksTheWindow() {
    start_on(test::with_card(), "[dialup]\naccept = qenvora:qenvora\n", "nobody");
    QVERIFY(view_);
    const auto accessible = [this](const char* name) {
      return QAccessible::queryAccessibleInterface(widget<QWidget>(name));
    };
    click_tab(2);
    QVERIFY(!widget<QPushButton>("CmdApply")->isEnabled());
    accessible("AccOption_3")
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(program_->app.main_form.AccOption[3].value);
    QVERIFY(program_->app.AccelChanged);
    QVERIFY(widget<QPushButton>("CmdApply")->isEnabled());

    click_tab(1);
    accessible("UserTxt")->editableTextInterface()->replaceText(0, 6, QStringLiteral("qenvora"));
    QCOMPARE(program_->app.main_form.UserTxt.text.get(), std::string("qenvora"));
    QTimer closer;  // a refused account's message box
    connect(&closer, &QTimer::timeout, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    closer.start(50);
    QTest::mouseClick(widget<QPushButton>("CmdConnect"), Qt::LeftButton);
    for (int step = 0; step < 100 && program_->app.ConnState != 1; ++step) {
      machine_->machine().run_for(100);
      QCoreApplication::processEvents();
    }
    QCOMPARE(program_->app.ConnState, 1);
  }

  // No control is announced by its internal name, in either language: the lamps, the untitled
  // frames and the read-only texts say what they are in the user-interface language, and the
  // lamps what they show.
  void accessibleNamesSayWhatControlsAre() {
    struct Expected {
      const char* control;
      const char* english;
      const char* japanese;
    };
    const std::vector<Expected> names{
        {"StatusLump", "Status lamp", "状態ランプ"},
        {"Frame2", "Status lamp", "状態ランプ"},
        {"Picture1_12", "Channel 3 signal strength", "チャネル3の電波強度"},
        {"Picture2_3", "Available channel", "空きﾁｬﾈﾙ"},
        {"Frames_3", "CardInfo", "ｶｰﾄﾞ情報"},
        {"FrameLimit", "Term of validity", "有効期限"},
        {"AccTxt", "About the accelerator", "アクセラレーターについて"},
        {"MtuRwinTxt", "About MTU and RWIN", "MTUとRWINについて"},
        {"VersionTxt", "Version", "バージョン情報"},
    };
    const std::vector<Expected> readings{
        {"StatusLump", "No connection.", "未接続です"}, {"Picture1_12", "3 of 5", "5段階中3"},
        {"Picture1_14", "3 of 5", "5段階中3"},          {"Picture1_0", "5 of 5", "5段階中5"},
        {"Picture2_0", "2 of 4", "4チャネル中2"},
    };
    for (const auto language : {platform::Language::English, platform::Language::Japanese}) {
      const bool japanese = language == platform::Language::Japanese;
      start_on(test::with_card(sim::WindowsVersion::XP, language));
      QVERIFY(view_);
      click_tab(4);
      QTest::mouseClick(widget<QPushButton>("CmdAnalyze"), Qt::LeftButton);
      // The next tick shows the idle state on the lamp again.
      QTRY_VERIFY(program_->app.main_form.StatusLump.back_color != diag::lamp_color::kMeasuring);

      std::set<QString> internal;
      for (const platform::Control* control : program_->app.main_form.controls()) {
        internal.insert(QString::fromStdString(control->qualified_name()));
      }
      for (int page = 1; page <= 5; ++page) {
        click_tab(page);
        std::vector<QAccessibleInterface*> nodes{QAccessible::queryAccessibleInterface(view_)};
        for (size_t next = 0; next < nodes.size(); ++next) {
          QAccessibleInterface* node = nodes[next];
          const QString name = node->text(QAccessible::Name);
          QVERIFY2(!internal.contains(name), qPrintable(name));
          const auto* w = qobject_cast<QWidget*>(node->object());
          const bool control = w && internal.contains(w->objectName());
          if (control && !node->state().invisible && node->state().focusable) {
            QVERIFY2(!name.isEmpty(), qPrintable(w->objectName()));
          }
          for (int i = 0; i < node->childCount(); ++i) nodes.push_back(node->child(i));
        }
      }
      for (const auto& expected : names) {
        QCOMPARE(widget<QWidget>(expected.control)->accessibleName(),
                 QString::fromUtf8(japanese ? expected.japanese : expected.english));
      }
      for (const auto& expected : readings) {
        QCOMPARE(widget<QWidget>(expected.control)->accessibleDescription(),
                 QString::fromUtf8(japanese ? expected.japanese : expected.english));
      }
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
