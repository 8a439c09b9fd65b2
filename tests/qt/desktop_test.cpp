// The services the desktop program runs on, as it builds them from a machine directory.
#include <QTest>

#include "desktop_platform.h"
#include "nimbra_test/temp_dir.h"
#include "platform/file_io.h"
#include "platform/ini_file.h"
#include "platform/sim/machine_config.h"
#include "qt_test_registry.h"

namespace nimbra::app {

class DesktopTest : public QObject {
  Q_OBJECT

 private slots:
  // The short date (and so the access code) is written in the machine's picture, whatever the
  // host locale's format.
  void shortDateFollowsTheMachine() {
    test::TempDir dir;
    const auto machine = dir / "machine";
    sim::create_machine(machine, {});
    const auto ini_file = machine / sim::machine_files::kConfig;
    auto ini = platform::IniFile::parse(platform::read_text_file(ini_file, 1 << 20).value_or(""));
    ini.set("system", "short_date", "yy-M-d");
    QVERIFY(platform::write_text_file_atomic(ini_file, ini.format(), 0644));

    DesktopPlatform desktop(machine);
    QCOMPARE(desktop.services().runtime.short_date({.year = 2026, .month = 12, .day = 6}),
             std::string("26-12-6"));
  }
};

static nimbra::qttest::Register<DesktopTest> reg;

}  // namespace nimbra::app

#include "desktop_test.moc"
