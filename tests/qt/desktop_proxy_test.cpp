// SPDX-License-Identifier: MIT
#include <QTest>
#include <filesystem>
#include <fstream>

#include "desktop_platform.h"
#include "nimbra_test/temp_dir.h"
#include "nimbra_test/test_machine.h"
#include "platform/host/file_io.h"
#include "platform/linux/proxy/proxy_state.h"
#include "qt_test_registry.h"

namespace {

namespace fs = std::filesystem;

// The desktop program's own platform touches the desktop's proxy only on machines whose calls
// are real and whose machine.ini does not say to leave it: there a link that went down while
// the program was not running has the user's settings given back as it starts.
class DesktopProxyTest : public QObject {
  Q_OBJECT

 private slots:
  void only_real_calls_touch_the_desktop() {
    struct Row {
      bool pppd;
      const char* extra_ini;
      bool touched;
    };
    const Row rows[] = {
        {false, "[dialup]\nother_connections = KVAUTODL\n", false},
        {true, "", true},
        {true, "[desktop]\nproxy = leave\n", false},
    };
    for (const Row& row : rows) {
      nimbra::test::TempDir dir;
      // Tools that only say they were run.
      fs::create_directories(dir / "bin");
      for (const char* tool : {"gsettings", "kreadconfig5", "kwriteconfig5"}) {
        std::ofstream(dir / "bin" / tool)
            << "#!/bin/sh\necho \"$0 $*\" >> \"" << (dir / "ran").string() << "\"\n";
        fs::permissions(dir / "bin" / tool, fs::perms::owner_all);
      }
      const Environment path("PATH", (dir / "bin").string() + ":" + qgetenv("PATH").toStdString());
      const Environment desktop("XDG_CURRENT_DESKTOP", "GNOME");
      nimbra::sim::MachineSpec spec = nimbra::test::with_card();
      spec.pppd = row.pppd;
      const fs::path machine = dir / "machine";
      nimbra::sim::create_machine(machine, spec);
      const fs::path ini = machine / "machine.ini";
      std::ofstream(ini, std::ios::app) << row.extra_ini;
      // The state an earlier run left: the link carried the accelerator when it ended.
      std::ofstream(machine / nimbra::lnx::kProxyStateFile)
          << "[proxy]\ndesktop = gnome\nentry = KVAUTODL\ngiven = http=a:1\n"
             "[saved]\norg.gnome.system.proxy mode = \"'none'\"\n"
             "[written]\norg.gnome.system.proxy mode = \"'manual'\"\n";

      nimbra::app::DesktopPlatform platform(machine);
      QTest::qWait(200);
      QCOMPARE(fs::exists(dir / "ran"), row.touched);
      QCOMPARE(fs::exists(machine / nimbra::lnx::kProxyStateFile), !row.touched);
    }
  }

 private:
  // Sets an environment variable and puts the old value back on destruction.
  class Environment {
   public:
    Environment(const char* name, const std::string& value) : name_(name), old_(qgetenv(name)) {
      qputenv(name, QByteArray::fromStdString(value));
    }
    ~Environment() { qputenv(name_, old_); }

   private:
    const char* name_;
    QByteArray old_;
  };
};

static nimbra::qttest::Register<DesktopProxyTest> reg;

}  // namespace

#include "desktop_proxy_test.moc"
