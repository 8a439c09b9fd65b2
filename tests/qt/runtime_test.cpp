// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>

#include "desktop_platform.h"
#include "nimbra_test/temp_dir.h"
#include "platform/host/file_io.h"
#include "platform/qt/activation_channel.h"
#include "platform/qt/instance_names.h"
#include "platform/qt/qt_runtime.h"
#include "platform/qt/short_date.h"
#include "platform/text/ini_file.h"
#include "qt_test_registry.h"

namespace {

using nimbra::platform::Language;

// One run of the helper program, its stdout collected line by line.
class Helper {
 public:
  explicit Helper(const QStringList& arguments) {
    process.start(QStringLiteral(NIMBRA_RUNTIME_HELPER), arguments);
  }
  ~Helper() {
    process.kill();
    process.waitForFinished();
  }
  QStringList lines() {
    output_ += process.readAllStandardOutput();
    return QString::fromUtf8(output_).split(u'\n', Qt::SkipEmptyParts);
  }
  QProcess process;

 private:
  QByteArray output_;
};

std::unique_ptr<Helper> start_instance(const QString& machine_directory,
                                       const QString& title = {}) {
  QStringList arguments{QStringLiteral("instance"), machine_directory};
  if (!title.isEmpty()) arguments << title;
  return std::make_unique<Helper>(arguments);
}

// Sets (null: clears) an environment variable and puts the old value back on destruction.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (qEnvironmentVariableIsSet(name)) saved_ = qgetenv(name);
    set(value);
  }
  ~ScopedEnvironment() { set(saved_ ? saved_->constData() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void set(const char* value) { value ? qputenv(name_, value) : qunsetenv(name_); }
  const char* name_;
  std::optional<QByteArray> saved_;
};

}  // namespace

class RuntimeTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { nimbra::qttest::fail_on_warnings(); }

  void initTestCase() {
    // Locks and sockets of these tests stay in a directory of their own.
    QVERIFY(runtime_directory_.isValid());
    runtime_environment_.emplace("XDG_RUNTIME_DIR", runtime_directory_.path().toUtf8().constData());
    QVERIFY(machines_.isValid());
    QVERIFY(QDir().mkpath(machine_directory()));
    QVERIFY(QDir().mkpath(second_machine_directory()));
  }
  void cleanupTestCase() { runtime_environment_.reset(); }

  // The user-interface language is Japanese exactly when the deciding locale variable starts "ja".
  void ui_language() {
    struct Row {
      const char *lc_all, *lc_messages, *lang;  // null: unset
      Language expected;
    };
    for (const Row& r : {Row{nullptr, nullptr, "ja_JP.UTF-8", Language::Japanese},
                         Row{nullptr, nullptr, "jv_ID.UTF-8", Language::English},
                         Row{"en_US.UTF-8", nullptr, "ja_JP.UTF-8", Language::English},
                         Row{nullptr, "ja_JP.eucJP", "C", Language::Japanese},
                         Row{"", "ja_JP.UTF-8", "C", Language::Japanese}}) {
      ScopedEnvironment all("LC_ALL", r.lc_all);
      ScopedEnvironment messages("LC_MESSAGES", r.lc_messages);
      ScopedEnvironment language("LANG", r.lang);
      nimbra::qt::QtRuntime runtime(machine_path(), [](const std::string&) {});
      QCOMPARE(runtime.ui_language(), r.expected);
    }
  }

  // A date is written in the given locale's short format, and not at all when the day does not
  // exist.
  void short_date() {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    const auto text = [](const QLocale& locale, int year, int month, int day) {
      return nimbra::qt::short_date_in(locale, {.year = year, .month = month, .day = day});
    };
    QCOMPARE(text(japanese, 2024, 3, 5), std::string("2024/03/05"));
    QCOMPARE(text(QLocale(QLocale::English, QLocale::UnitedStates), 2024, 3, 5),
             std::string("3/5/24"));
    QCOMPARE(text(british, 2024, 3, 5), std::string("05/03/2024"));
    QCOMPARE(text(japanese, 2023, 2, 29), std::string());
  }

  // The runtime's short date follows the locale the process was started in.
  void system_short_date() {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_TIME"}) environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("ja_JP.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(NIMBRA_RUNTIME_HELPER), {"date", "2024", "3", "5"});
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).trimmed(), "2024/03/05");
  }

  // The desktop program writes the short date (and so the access code) in the machine's
  // picture, whatever the host locale's format.
  void desktop_short_date_follows_the_machine() {
    nimbra::test::TempDir dir;
    const auto machine = dir / "machine";
    nimbra::sim::create_machine(machine, {});
    const auto ini_file = machine / nimbra::sim::machine_files::kConfig;
    auto ini = nimbra::platform::IniFile::parse(
        nimbra::platform::read_text_file(ini_file, 1 << 20).value_or(""));
    ini.set("system", "short_date", "yy-M-d");
    QVERIFY(nimbra::platform::write_text_file_atomic(ini_file, ini.format(), 0644));
    nimbra::app::DesktopPlatform desktop(machine);
    QCOMPARE(desktop.services().runtime.short_date({.year = 2026, .month = 12, .day = 6}),
             std::string("26-12-6"));
  }

  // Spellings of one directory share an instance; other directories and other users do not.
  void instance_names() {
    const std::filesystem::path directory = machine_path();
    const std::filesystem::path other = second_machine_directory().toStdString();
    const std::filesystem::path link = directory.parent_path() / "link-to-machine";
    std::filesystem::create_directory_symlink(directory, link);
    const QString base = runtime_directory_.path();
    const auto names = [&](const std::filesystem::path& path, unsigned uid = 1000) {
      return nimbra::qt::instance_names(path, uid, base);
    };
    const auto reference = names(directory);
    QVERIFY(QString::fromStdString(reference.instance.native()).startsWith(base + u'/'));
    QVERIFY(QString::fromStdString(reference.instance.native()) != reference.server_name);
    for (const auto& same : {directory / "", directory / ".", directory / "sub" / "..", link}) {
      QCOMPARE(names(same).server_name, reference.server_name);
    }
    QVERIFY(names(other).server_name != reference.server_name);
    QVERIFY(names(directory, 1001).server_name != reference.server_name);
  }

  // A copy that has started but not yet asked (it waits at the access-code window) already holds
  // the instance.
  void started_copy_holds_the_instance() {
    Helper waiting({QStringLiteral("started"), machine_directory()});
    QTRY_COMPARE(waiting.lines(), QStringList{"started"});
    const auto second = start_instance(machine_directory());
    QVERIFY(second->process.waitForFinished(5000));
    QCOMPARE(second->lines(), QStringList{"previous=1"});
  }

  // A holder killed without cleaning up does not keep the next process from taking over; a
  // later one sees that as the previous instance, and its title reaches it.
  void killed_holder_does_not_block_the_next() {
    const QString title = QString::fromUtf8("ニンブラ 接続中");
    const auto first = start_instance(machine_directory());
    QTRY_COMPARE(first->lines(), QStringList{"previous=0"});
    first->process.kill();
    QVERIFY(first->process.waitForFinished(5000));
    const auto next = start_instance(machine_directory());
    QTRY_COMPARE(next->lines(), QStringList{"previous=0"});
    const auto later = start_instance(machine_directory(), title);
    QVERIFY(later->process.waitForFinished(5000));
    QCOMPARE(later->lines(), (QStringList{"previous=1", "sent"}));
    QTRY_COMPARE(next->lines(), (QStringList{"previous=0", "activated=" + title}));
  }

  // The holder answers again after previous_instance() is asked twice, and a later runtime of the
  // same process sees it as the previous instance.
  void previous_instance_is_stable_in_the_holder() {
    nimbra::qt::QtRuntime holder(machine_path(), [](const std::string&) {});
    QVERIFY(!holder.previous_instance());
    QVERIFY(!holder.previous_instance());
    nimbra::qt::QtRuntime another(machine_path(), [](const std::string&) {});
    QVERIFY(another.previous_instance());
  }

  void requests_on_the_wire_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("only the first line") << QByteArray("A\nB\n") << QStringList{"A"};
    QTest::newRow("longest title") << QByteArray(1023, 'x') + '\n'
                                   << QStringList{QString(1023, u'x')};
    QTest::newRow("one byte too long") << QByteArray(1024, 'x') + '\n' << QStringList{};
    QTest::newRow("endless line") << QByteArray(64 * 1024, 'x') << QStringList{};
    QTest::newRow("not UTF-8") << QByteArray("\xff\xfe title\n") << QStringList{};
    QTest::newRow("control character") << QByteArray("a\tb\n") << QStringList{};
    QTest::newRow("empty title") << QByteArray("\n") << QStringList{};
  }

  // The holder takes one well-formed UTF-8 title per connection and drops everything else,
  // closing the connection in every case.
  void requests_on_the_wire() {
    QFETCH(QByteArray, request);
    QFETCH(QStringList, expected);
    std::vector<std::string> titles;
    nimbra::qt::QtRuntime holder(machine_path(),
                                 [&](const std::string& title) { titles.push_back(title); });
    QVERIFY(!holder.previous_instance());
    QLocalSocket client;
    client.connectToServer(server_name());
    QVERIFY(client.waitForConnected(2000));
    client.write(request);
    QTRY_COMPARE(client.state(), QLocalSocket::UnconnectedState);
    QStringList received;
    for (const auto& title : titles) received << QString::fromStdString(title);
    QCOMPARE(received, expected);
  }

  // A holder that ends while a client stays silent ends at once, not when the client's time is
  // up; the socket goes with it.
  void holder_ends_while_a_client_is_silent() {
    auto holder =
        std::make_unique<nimbra::qt::QtRuntime>(machine_path(), [](const std::string&) {});
    QVERIFY(!holder->previous_instance());
    QLocalSocket silent;
    silent.connectToServer(server_name());
    QVERIFY(silent.waitForConnected(2000));
    QElapsedTimer ending;
    ending.start();
    holder.reset();
    QVERIFY2(ending.elapsed() < 1000, qPrintable(QString::number(ending.elapsed())));
    QVERIFY(!QFile::exists(server_name()));
  }

  // Without a holder, a request gives up once its time is over.
  void send_without_holder_gives_up() {
    QVERIFY(!nimbra::qt::send_activation(server_name(), "Nimbra", std::chrono::milliseconds(100)));
  }

 private:
  QString machine_directory() const { return machines_.filePath(QStringLiteral("machine")); }
  QString second_machine_directory() const { return machines_.filePath(QStringLiteral("other")); }
  std::filesystem::path machine_path() const { return machine_directory().toStdString(); }
  QString server_name() const {
    return nimbra::qt::instance_names(machine_path(), ::getuid(), nimbra::qt::instance_directory())
        .server_name;
  }

  QTemporaryDir runtime_directory_;
  QTemporaryDir machines_;
  std::optional<ScopedEnvironment> runtime_environment_;
};

static nimbra::qttest::Register<RuntimeTest> reg;

#include "runtime_test.moc"
