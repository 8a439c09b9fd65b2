// SPDX-License-Identifier: MIT
#include "platform/qt/file_change_flag.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <fstream>

#include "nimbra_test/temp_dir.h"
#include "platform/host/file_io.h"
#include "qt_test_registry.h"

namespace {

using nimbra::qt::FileChangeFlag;

// Runs the event loop until the flag is up (true) or a second has passed (false).
bool raised_soon(FileChangeFlag& flag) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 1000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (flag.take()) return true;
  }
  return false;
}

void append(const std::filesystem::path& file, const char* text) {
  std::ofstream(file, std::ios::app) << text;
}

class FileChangeFlagTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { nimbra::qttest::fail_on_warnings(); }

  // Every way another program changes the file raises the flag once, a replaced file's later
  // writes in place included; while nothing changes it stays down.
  void risesForEachChange() {
    nimbra::test::TempDir dir;
    const auto file = dir / "connections.ini";
    FileChangeFlag flag(file);
    QVERIFY(flag.take());
    QVERIFY(!flag.take());

    QVERIFY(nimbra::platform::write_text_file_atomic(file, "[service]\n", 0600));
    QVERIFY2(raised_soon(flag), "created by a replace");
    append(file, "a = 1\n");
    QVERIFY2(raised_soon(flag), "written in place");
    QVERIFY(nimbra::platform::write_text_file_atomic(file, "[service]\n", 0600));
    QVERIFY2(raised_soon(flag), "replaced");
    append(file, "b = 2\n");
    QVERIFY2(raised_soon(flag), "the new file written in place");
    std::filesystem::remove(file);
    QVERIFY2(raised_soon(flag), "deleted");
    QVERIFY2(!raised_soon(flag), "nothing changed");
  }
};

nimbra::qttest::Register<FileChangeFlagTest> registered;

}  // namespace

#include "file_change_flag_test.moc"
