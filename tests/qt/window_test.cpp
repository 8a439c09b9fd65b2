// SPDX-License-Identifier: MIT
// The Qt window family: forms become widgets that mirror their controls and turn user input
// into the controls' events; posted messages reach the window procedure.
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QGlyphRun>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "platform/controls/controls.h"
#include "platform/qt/qt_window.h"
#include "qt_program.h"
#include "qt_test_registry.h"

namespace nimbra::qt {
namespace {

using namespace platform;

struct TestForm : Form {
  TestForm() : Form("FrmTest") {
    width = 6000;
    height = 4500;
    caption = "Test";
  }

  Button CmdGo{this, "CmdGo"};
  Label LblInfo{this, "LblInfo"};
  TextBox TxtUser{this, "TxtUser"};
  CheckBox ChkSave{this, "ChkSave"};
  Frame FraAcc{this, "FraAcc"};
  OptionButton AccOption_1{&FraAcc, "AccOption", 1};
  OptionButton AccOption_2{&FraAcc, "AccOption", 2};
  OptionButton OptAlone{this, "OptAlone"};
  TabStrip TabMain{this, "TabMain"};
  TreeView TvwItems{this, "TvwItems"};
  ComboBox CboPort{this, "CboPort"};
  ListBox LstLog{this, "LstLog"};
  ProgressBar PrgSignal{this, "PrgSignal"};
  PictureBox PicLamp_0{this, "PicLamp", 0};
  PictureBox PicLamp_1{this, "PicLamp", 1};
  Timer TmrPoll{this, "TmrPoll"};
};

void place(Control& control, int left, int top, int width, int height) {
  control.left = left;
  control.top = top;
  control.width = width;
  control.height = height;
}

class RecordingProcedure : public WindowProcedure {
 public:
  struct Message {
    Hwnd window;
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
    bool operator==(const Message&) const = default;
  };
  intptr_t handle(Hwnd window, uint32_t message, uintptr_t wparam, intptr_t lparam) override {
    received.push_back({window, message, wparam, lparam});
    return 1;
  }
  std::vector<Message> received;
};

// Presses the button of the next message box once it shows, keeping its title and text.
struct BoxAnswer {
  explicit BoxAnswer(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [this, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      text = box->text();
      box->button(button)->click();
    });
  }
  QString title;
  QString text;
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QtWindow> window_;
  std::unique_ptr<TestForm> form_;
  Hwnd handle_ = 0;
  QWidget* view_ = nullptr;

  template <class W>
  W* widget(const char* name) const {
    return child<W>(view_, name);
  }

 private slots:
  void init() {
    qttest::fail_on_warnings();
    window_ = std::make_unique<QtWindow>();
    form_ = std::make_unique<TestForm>();
    place(form_->CmdGo, 150, 150, 1200, 375);
    place(form_->LblInfo, 150, 600, 1200, 255);
    place(form_->FraAcc, 150, 1500, 2400, 1200);
    place(form_->AccOption_2, 120, 540, 1800, 255);
    place(form_->LstLog, 150, 3000, 2400, 1200);
    place(form_->PicLamp_0, 4000, 150, 300, 300);
    place(form_->PicLamp_1, 4150, 150, 300, 300);
    form_->OptAlone.value = true;
    handle_ = window_->attach(*form_);
    form_->visible = true;
    view_ = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == QLatin1String("FrmTest")) view_ = top;
    }
    QVERIFY(view_ && view_->isVisible());
  }

  void cleanup() {
    window_->detach(*form_);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form_.reset();
    window_.reset();
  }

  // Controls sit in their container's widget at their twips position scaled by the screen.
  void placementScalesTwipsToPixels() {
    const double tx = window_->twips_per_pixel_x();
    QCOMPARE(tx, 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX());
    const double ty = window_->twips_per_pixel_y();
    auto px = [](int twips, double per) { return static_cast<int>(std::lround(twips / per)); };

    QCOMPARE(widget<QPushButton>("CmdGo")->geometry(),
             QRect(px(150, tx), px(150, ty), px(1200, tx), px(375, ty)));
    auto* option = widget<QRadioButton>("AccOption_2");
    QCOMPARE(option->parentWidget(), widget<QGroupBox>("FraAcc"));
    QCOMPARE(option->pos(), QPoint(px(120, tx), px(540, ty)));
    QCOMPARE(view_->size(), QSize(px(6000, tx), px(4500, ty)));

    form_->CmdGo.left = 1500;
    QCOMPARE(widget<QPushButton>("CmdGo")->x(), px(1500, tx));
  }

  // Property changes from the logic show on the widgets.
  void propertiesReachWidgets() {
    form_->caption = "ﾀﾞｲﾔﾙ";
    QCOMPARE(view_->windowTitle(), QStringLiteral("ﾀﾞｲﾔﾙ"));
    auto* go = widget<QPushButton>("CmdGo");
    form_->CmdGo.caption = "&Go";
    form_->CmdGo.enabled = false;
    form_->CmdGo.visible = false;
    QCOMPARE(go->text(), QStringLiteral("&Go"));
    QVERIFY(!go->isEnabled() && go->isHidden());
    auto* user = widget<QLineEdit>("TxtUser");
    form_->TxtUser.text = "someone";
    form_->TxtUser.locked = true;
    form_->TxtUser.password_char = "*";
    QCOMPARE(user->text(), QStringLiteral("someone"));
    QVERIFY(user->isReadOnly() && user->echoMode() == QLineEdit::Password);

    form_->ChkSave.value = 2;
    QCOMPARE(widget<QCheckBox>("ChkSave")->checkState(), Qt::PartiallyChecked);

    form_->PrgSignal.max = 5;
    form_->PrgSignal.value = 3;
    QCOMPARE(widget<QProgressBar>("PrgSignal")->value(), 3);

    form_->TabMain.tab_captions = std::vector<std::string>{"General", "Advanced"};
    form_->TabMain.selected = 2;
    QCOMPARE(widget<QWidget>("TabMain")->findChild<QTabBar*>()->currentIndex(), 1);

    form_->CboPort.add_item("COM1");
    form_->CboPort.add_item("COM3");
    form_->CboPort.list_index = 1;
    QCOMPARE(widget<QComboBox>("CboPort")->currentText(), QStringLiteral("COM3"));

    form_->PicLamp_0.back_color = 0x00FF00;
    QCOMPARE(widget<QWidget>("PicLamp_0")->palette().color(QPalette::Window), QColor(0, 255, 0));
    form_->LblInfo.fore_color = 255;  // red in the toolkit's 0x00BBGGRR form
    QCOMPARE(widget<QLabel>("LblInfo")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  }

  // Bringing a control to the front stacks its widget above its overlapping sibling.
  void bringToFrontRaisesWidget() {
    const QPoint overlap = widget<QWidget>("PicLamp_1")->geometry().topLeft() + QPoint(1, 1);
    QCOMPARE(view_->childAt(overlap)->objectName(), QStringLiteral("PicLamp_1"));
    form_->PicLamp_0.bring_to_front();
    QCOMPARE(view_->childAt(overlap)->objectName(), QStringLiteral("PicLamp_0"));
  }

  // A form's widgets are made when it is first shown, after the window's hook: until then no
  // change is mirrored, and then all the logic set shows, the stacking included.
  void widgetsAreMadeAtFirstShow() {
    TestForm form;
    place(form.PicLamp_0, 4000, 150, 300, 300);
    place(form.PicLamp_1, 4150, 150, 300, 300);
    QtWindow window;
    int hooked = 0;
    window.set_before_widgets([&] { ++hooked; });
    window.attach(form);
    form.TxtUser.text = "before";
    form.PicLamp_0.bring_to_front();
    QWidget* view = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == QLatin1String("FrmTest") && top != view_) view = top;
    }
    QVERIFY(view && view->findChildren<QWidget*>().isEmpty());
    QCOMPARE(hooked, 0);

    form.visible = true;
    QCOMPARE(hooked, 1);
    QCOMPARE(child<QLineEdit>(view, "TxtUser")->text(), QStringLiteral("before"));
    const QPoint overlap = child<QWidget>(view, "PicLamp_1")->geometry().topLeft() + QPoint(1, 1);
    QCOMPARE(view->childAt(overlap)->objectName(), QStringLiteral("PicLamp_0"));
    form.visible = false;
    form.visible = true;
    QCOMPARE(hooked, 1);
  }

  // A page behind the front one gets its widgets when it first comes out, with what the logic
  // set meanwhile, its label pairing, and its place in the Tab order of the design.
  void pagesBehindAreMadeWhenTheyComeOut() {
    struct Paged : Form {
      Paged() : Form("FrmPaged") { width = height = 6000; }
      Button CmdFirst{this, "CmdFirst"};
      Frame PageA{this, "PageA"};
      TextBox TxtA{&PageA, "TxtA"};
      Frame PageB{this, "PageB"};
      Label LblB{&PageB, "LblB"};
      TextBox TxtB{&PageB, "TxtB"};
      Button CmdLast{this, "CmdLast"};
    } form;
    place(form.CmdFirst, 150, 150, 1200, 375);
    for (Frame* page : {&form.PageA, &form.PageB}) place(*page, 150, 600, 4000, 2000);
    place(form.TxtA, 150, 300, 1200, 300);
    place(form.LblB, 150, 300, 1200, 300);
    place(form.TxtB, 1500, 300, 1200, 300);
    place(form.CmdLast, 150, 3000, 1200, 375);
    form.LblB.caption = "Owner";
    QtWindow window;
    window.attach(form);
    form.PageA.bring_to_front();
    form.visible = true;
    QWidget* view = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == QLatin1String("FrmPaged")) view = top;
    }
    QVERIFY(view);
    QVERIFY(child<QLineEdit>(view, "TxtA")->isVisible());
    QVERIFY(!view->findChild<QWidget*>(QStringLiteral("TxtB")));

    form.TxtB.text = "kept";
    form.PageB.bring_to_front();
    auto* field = child<QLineEdit>(view, "TxtB");
    QVERIFY(field->isVisible() && !child<QWidget>(view, "TxtA")->isVisible());
    QCOMPARE(field->text(), QStringLiteral("kept"));
    QCOMPARE(field->accessibleName(), QStringLiteral("Owner"));
    const auto named = QAccessible::queryAccessibleInterface(child<QLabel>(view, "LblB"))
                           ->relations(QAccessible::Labelled);
    QVERIFY(named.size() == 1 && named.front().first->object() == field);
    QApplication::setActiveWindow(view);
    child<QWidget>(view, "CmdFirst")->setFocus();
    for (const char* next : {"TxtB", "CmdLast"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(next));
    }
  }

  // Japanese is drawn in a CJK face; other languages in the desktop's sans-serif face, which
  // still draws a Japanese caption (through the toolkit's fallback), not empty boxes.
  void fontFollowsTheLanguage() {
    QtWindow japanese(Language::Japanese);
    QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Noto Sans CJK JP"));
    QtWindow english(Language::English);
    QVERIFY(QFontInfo(QApplication::font()).family() != QStringLiteral("Noto Sans CJK JP"));
    const QString caption = QStringLiteral("QTIMEシリーズ");
    QRawFont face = QRawFont::fromFont(QApplication::font());
    QVERIFY(!face.supportsCharacter(caption.back()));
    QTextLayout layout(caption, QApplication::font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const auto runs = layout.glyphRuns();
    QVERIFY(std::any_of(runs.begin(), runs.end(), [](const QGlyphRun& run) {
      return run.rawFont().familyName() == QStringLiteral("Noto Sans CJK JP");
    }));
  }

  // Typing sets the text box's text, raising Change per keystroke, within the maximum length.
  void typingChangesText() {
    std::vector<std::string> changes;
    form_->TxtUser.on_change = [&] { changes.push_back(form_->TxtUser.text); };
    form_->TxtUser.max_length = 3;
    auto* user = widget<QLineEdit>("TxtUser");
    QTest::keyClicks(user, "abcd");
    QCOMPARE(form_->TxtUser.text.get(), std::string("abc"));
    QCOMPARE(changes, (std::vector<std::string>{"a", "ab", "abc"}));

    // Text from code may exceed the limit; the user may still shorten it.
    form_->TxtUser.text = "longer";
    QCOMPARE(user->text(), QStringLiteral("longer"));
    QTest::keyClick(user, Qt::Key_Backspace);
    QCOMPARE(form_->TxtUser.text.get(), std::string("longe"));
  }

  // A paste longer than the room left in the box keeps as much of the pasted text as fits,
  // where the caret was, rather than being refused; the box's Change sees the kept text.
  void pasteIsCutToTheRoomLeft() {
    std::vector<std::string> changes;
    form_->TxtUser.on_change = [&] { changes.push_back(form_->TxtUser.text); };
    form_->TxtUser.max_length = 4;
    auto* user = widget<QLineEdit>("TxtUser");
    QTest::keyClicks(user, "ab");
    user->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("123456"));
    user->paste();
    QCOMPARE(form_->TxtUser.text.get(), std::string("a12b"));
    QCOMPARE(user->cursorPosition(), 3);
    user->paste();
    QCOMPARE(form_->TxtUser.text.get(), std::string("a12b"));
    user->selectAll();
    user->paste();
    QCOMPARE(form_->TxtUser.text.get(), std::string("1234"));
    QCOMPARE(changes, (std::vector<std::string>{"a", "ab", "a12b", "1234"}));
  }

  // A click toggles a check box between checked and clear (a greyed one becomes checked);
  // selecting an option clears the other options of its container only; the logic may clear all.
  void checkBoxAndOptionClicks() {
    int clicks = 0;
    form_->ChkSave.value = 2;
    form_->ChkSave.on_click = [&] { ++clicks; };
    form_->AccOption_2.on_click = [&] { ++clicks; };
    auto* box = widget<QCheckBox>("ChkSave");
    box->click();
    QCOMPARE(form_->ChkSave.value.get(), 1);
    box->click();
    QCOMPARE(form_->ChkSave.value.get(), 0);

    form_->AccOption_1.value = true;
    widget<QRadioButton>("AccOption_2")->click();
    QCOMPARE(clicks, 3);
    QVERIFY(form_->AccOption_2.value && !form_->AccOption_1.value);
    QVERIFY(!widget<QRadioButton>("AccOption_1")->isChecked());
    QVERIFY(form_->OptAlone.value && widget<QRadioButton>("OptAlone")->isChecked());
    form_->AccOption_2.value = false;
    QVERIFY(!widget<QRadioButton>("AccOption_2")->isChecked());
  }

  // A value the user gives a widget becomes the control's value and raises its event exactly
  // once, whatever brought it: the mouse, the keyboard, or an assistive tool's action or text
  // interface; a value the program gives raises only the control's own event.
  void everySourceOfInputRaisesTheEventOnce() {
    int option_clicks = 0;
    int box_clicks = 0;
    int changes = 0;
    int combo_clicks = 0;
    form_->AccOption_2.on_click = [&] { ++option_clicks; };
    form_->ChkSave.on_click = [&] { ++box_clicks; };
    form_->TxtUser.on_change = [&] { ++changes; };
    form_->CboPort.items = std::vector<std::string>{"COM1", "COM2"};
    form_->CboPort.on_click = [&] { ++combo_clicks; };
    auto* option = widget<QRadioButton>("AccOption_2");
    auto* box = widget<QCheckBox>("ChkSave");
    auto* user = widget<QLineEdit>("TxtUser");
    auto* combo = widget<QComboBox>("CboPort");
    const auto accessible = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w); };
    const auto act = [&](QWidget* w, const QString& action) {
      accessible(w)->actionInterface()->doAction(action);
    };

    struct Source {
      const char* name;
      std::function<void()> give;
    };
    const std::vector<Source> options{
        {"mouse", [&] { QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, 4)); }},
        {"space bar", [&] { QTest::keyClick(option, Qt::Key_Space); }},
        {"Toggle action", [&] { act(option, QAccessibleActionInterface::toggleAction()); }},
    };
    for (const auto& source : options) {
      form_->AccOption_1.value = true;
      option_clicks = 0;
      source.give();
      QVERIFY2(form_->AccOption_2.value && !form_->AccOption_1.value, source.name);
      QVERIFY2(!widget<QRadioButton>("AccOption_1")->isChecked(), source.name);
      QVERIFY2(option_clicks == 1, source.name);
    }

    const std::vector<Source> checks{
        {"mouse", [&] { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 4)); }},
        {"space bar", [&] { QTest::keyClick(box, Qt::Key_Space); }},
        {"Toggle action", [&] { act(box, QAccessibleActionInterface::toggleAction()); }},
    };
    for (const auto& source : checks) {
      form_->ChkSave.value = 0;
      box_clicks = 0;
      source.give();
      QVERIFY2(form_->ChkSave.value == 1 && box->checkState() == Qt::Checked, source.name);
      QVERIFY2(box_clicks == 1, source.name);
    }

    struct Typing {
      const char* name;
      const char* before;
      std::function<void()> give;
      int changes;  // one per keystroke
    };
    const std::vector<Typing> texts{
        {"keys", "", [&] { QTest::keyClicks(user, "abc"); }, 3},
        {"text insertion", "",
         [&] { accessible(user)->editableTextInterface()->insertText(0, QStringLiteral("abc")); },
         1},
        {"text replacement", "xyz",
         [&] {
           accessible(user)->editableTextInterface()->replaceText(0, 3, QStringLiteral("abc"));
         },
         1},
        {"value", "", [&] { accessible(user)->setText(QAccessible::Value, QStringLiteral("abc")); },
         1},
    };
    for (const auto& source : texts) {
      form_->TxtUser.text = std::string(source.before);
      changes = 0;
      source.give();
      QVERIFY2(form_->TxtUser.text == std::string("abc"), source.name);
      QVERIFY2(changes == source.changes, source.name);
    }
    // The box's maximum length holds whichever way the text comes.
    form_->TxtUser.max_length = 2;
    for (const auto& source : texts) {
      form_->TxtUser.text = std::string(source.before);
      source.give();
      QVERIFY2(form_->TxtUser.text == std::string("ab"), source.name);
      QVERIFY2(user->text() == QStringLiteral("ab"), source.name);
    }
    form_->TxtUser.max_length = 0;

    form_->CboPort.list_index = 0;
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(form_->CboPort.list_index.get(), 1);
    QCOMPARE(combo_clicks, 1);

    // The program's own values: each raises its control's event once, none comes back.
    option_clicks = box_clicks = changes = combo_clicks = 0;
    form_->AccOption_1.value = true;
    form_->AccOption_2.value = true;
    form_->ChkSave.value = 2;
    form_->TxtUser.text = "from code";
    form_->CboPort.list_index = 0;
    QCOMPARE(option_clicks, 1);
    QCOMPARE(box_clicks, 1);
    QCOMPARE(changes, 1);
    QCOMPARE(combo_clicks, 0);
    QVERIFY(option->isChecked() && !form_->AccOption_1.value);
    QCOMPARE(box->checkState(), Qt::PartiallyChecked);
    QCOMPARE(user->text(), QStringLiteral("from code"));
    QCOMPARE(combo->currentIndex(), 0);
  }

  // The user checking a tree node sets it and raises NodeCheck with the 1-based index.
  void treeCheckRaisesNodeCheck() {
    form_->TvwItems.add_node("a", "First");
    form_->TvwItems.add_node("b", "Second");
    form_->TvwItems.set_checked(1, true);
    std::vector<int> checked;
    form_->TvwItems.on_node_check = [&](int index) { checked.push_back(index); };
    auto* tree = widget<QTreeWidget>("TvwItems");
    QCOMPARE(tree->topLevelItem(0)->checkState(0), Qt::Checked);
    tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    QVERIFY(form_->TvwItems.node(2).checked);
    form_->TvwItems.set_checked(2, false);  // from the logic: no event
    QCOMPARE(tree->topLevelItem(1)->checkState(0), Qt::Unchecked);
    QCOMPARE(checked, std::vector<int>{2});
  }

  // A click on a button or a label raises Click; picking a tab, a combo entry or a list entry
  // also selects it.
  void userPicksSelectAndClick() {
    int clicks = 0;
    form_->CmdGo.on_click = [&] { ++clicks; };
    form_->LblInfo.on_click = [&] { clicks += 10; };
    QTest::mouseClick(widget<QPushButton>("CmdGo"), Qt::LeftButton);
    QTest::mouseClick(widget<QLabel>("LblInfo"), Qt::LeftButton);
    QCOMPARE(clicks, 11);
    // A label the program answers is a link to assistive tools; their Press clicks it.
    form_->LblInfo.caption = "Info";
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(widget<QLabel>("LblInfo"));
    QCOMPARE(link->role(), QAccessible::Link);
    QCOMPARE(link->text(QAccessible::Name), QStringLiteral("Info"));
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks, 21);
    form_->LblInfo.on_click = nullptr;  // plain text again: nothing to press
    QCOMPARE(link->role(), QAccessible::StaticText);
    QVERIFY(!link->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    form_->TabMain.tab_captions = std::vector<std::string>{"One", "Two"};
    form_->TabMain.on_click = [&] { ++clicks; };
    widget<QWidget>("TabMain")->findChild<QTabBar*>()->setCurrentIndex(1);
    QCOMPARE(form_->TabMain.selected.get(), 2);

    form_->CboPort.items = std::vector<std::string>{"COM1", "COM2"};
    form_->CboPort.list_index = 0;
    form_->CboPort.on_click = [&] { ++clicks; };
    QTest::keyClick(widget<QComboBox>("CboPort"), Qt::Key_Down);
    QCOMPARE(form_->CboPort.list_index.get(), 1);

    form_->LstLog.items = std::vector<std::string>{"x", "y", "z"};
    form_->LstLog.on_click = [&] { ++clicks; };
    auto* list = widget<QListWidget>("LstLog");
    const QRect row = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(form_->LstLog.list_index.get(), 2);
    QCOMPARE(clicks, 24);
  }

  // A double click on the form's free area raises the form's DblClick, one on a control not;
  // closing the window raises Unload and leaves the form hidden.
  void doubleClickAndClose() {
    int double_clicks = 0;
    int unloads = 0;
    form_->on_dbl_click = [&] { ++double_clicks; };
    form_->on_unload = [&] { ++unloads; };
    QTest::mouseDClick(view_, Qt::LeftButton, {}, QPoint(view_->width() - 2, view_->height() - 2));
    QTest::mouseDClick(widget<QPushButton>("CmdGo"), Qt::LeftButton);
    QCOMPARE(double_clicks, 1);
    view_->close();
    QCOMPARE(unloads, 1);
    QVERIFY(!form_->visible && !view_->isVisible());
  }

  // Posted messages reach the installed procedure in order; the previous procedure comes back.
  // Registered messages have one number per name whatever its case, from 0xC000 up.
  void postedMessagesArriveInOrder() {
    RecordingProcedure recorder;
    WindowProcedure* original = window_->SetWindowProcedure(handle_, &recorder);
    QVERIFY(original);
    QCOMPARE(original->handle(handle_, 0xC000, 0, 0), intptr_t{0});

    const uint32_t dial = window_->RegisterWindowMessageA("NimbraDialEvent");
    QCOMPARE(dial, uint32_t{0xC000});
    QCOMPARE(window_->RegisterWindowMessageA("Two"), uint32_t{0xC001});
    QCOMPARE(window_->RegisterWindowMessageA("nimbradialevent"), dial);
    QVERIFY(window_->PostMessageA(handle_, dial, 1, 10));
    QVERIFY(window_->PostMessageA(handle_, dial, 2, -20));
    QVERIFY(window_->PostMessageA(handle_, dial + 1, 3, 30));
    QVERIFY(!window_->PostMessageA(handle_ + 1, dial, 0, 0));
    QVERIFY(recorder.received.empty());
    window_->do_events();
    using M = RecordingProcedure::Message;
    QCOMPARE(recorder.received,
             (std::vector<M>{
                 {handle_, dial, 1, 10}, {handle_, dial, 2, -20}, {handle_, dial + 1, 3, 30}}));
    QCOMPARE(window_->SetWindowProcedure(handle_, original), &recorder);
  }

  // An enabled timer with an interval ticks; a disabled one does not.
  void timerTicks() {
    int ticks = 0;
    form_->TmrPoll.on_tick = [&] { ++ticks; };
    form_->TmrPoll.interval = 10;
    QTest::qWait(50);
    QCOMPARE(ticks, 0);
    form_->TmrPoll.enabled = true;
    QTRY_VERIFY(ticks >= 2);
    form_->TmrPoll.enabled = false;
    const int stopped_at = ticks;
    QTest::qWait(50);
    QCOMPARE(ticks, stopped_at);
  }

  // A message box shows its title and text and answers with the button pressed.
  void messageBoxAnswers() {
    BoxAnswer answer(QMessageBox::No);
    QCOMPARE(window_->message_box("接続しますか?", "Nimbra", MsgBoxButtons::YesNo),
             MsgBoxResult::No);
    QCOMPARE(answer.title, QStringLiteral("Nimbra"));
    QCOMPARE(answer.text, QStringLiteral("接続しますか?"));
  }

  // The desktop never restarts the computer: a restart request shows the notice under the
  // window's title, closes the window as the system's end would (its unload runs) and ends the
  // program; any other request is refused.
  void restartRequestEndsWithoutRestarting() {
    struct Ended {};
    class EndingWindow : public QtWindow {
     protected:
      void end_program_now() override { throw Ended{}; }
    };
    TestForm form;
    EndingWindow window;
    window.set_restart_notice("次にマシンを起動したときに有効になります。");
    window.attach(form);
    bool unloaded = false;
    form.on_unload = [&] { unloaded = true; };
    QVERIFY(!window.ExitWindowsEx(1, 0));
    QVERIFY(!unloaded);
    BoxAnswer answer(QMessageBox::Ok);
    QVERIFY_THROWS_EXCEPTION(Ended, window.ExitWindowsEx(platform::EWX_REBOOT, 0));
    QVERIFY(unloaded);
    QCOMPARE(answer.title, QStringLiteral("Test"));
    QCOMPARE(answer.text, QStringLiteral("次にマシンを起動したときに有効になります。"));
  }

  // Activation by title finds the visible window with that caption; a detached form's window
  // goes away and takes no more messages.
  void activateAndDetach() {
    QVERIFY(window_->activate_window_titled("Test"));
    QVERIFY(!window_->activate_window_titled("Other"));
    QPointer<QWidget> view = view_;
    window_->detach(*form_);
    QVERIFY(!form_->observer());
    QVERIFY(!window_->PostMessageA(handle_, 0xC000, 0, 0));
    form_->caption = "after";  // reaches no widget
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(view.isNull());
  }
};

static nimbra::qttest::Register<WindowTest> reg;

}  // namespace nimbra::qt

#include "window_test.moc"
