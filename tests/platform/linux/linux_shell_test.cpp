// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/linux_shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <sstream>
#include <thread>

#include "nimbra_test/temp_dir.h"
#include "platform/host/file_io.h"
#include "platform/linux/desktop/detached_launch.h"

namespace nimbra::lnx {
namespace {

namespace fs = std::filesystem;

// A desktop whose only association is .html with bin/browser, and whose documents are the
// files of docs/ under the Windows folder "C:\docs".
class DesktopShell {
 public:
  DesktopShell() {
    fs::create_directories(dir_ / "docs");
    write("bin/browser", "", 0755);
    write("data/applications/browser.desktop", "[Desktop Entry]\nExec=browser %u\n", 0644);
    write("config/mimeapps.list", "[Default Applications]\ntext/html=browser.desktop\n", 0644);
    XdgEnvironment env;
    env.config_dirs = {dir_ / "config"};
    env.data_dirs = {dir_ / "data"};
    env.path = {dir_ / "bin"};
    shell_.emplace(
        [this](std::string_view path) -> std::optional<fs::path> {
          constexpr std::string_view kRoot = "C:\\docs\\";
          if (!path.starts_with(kRoot)) return std::nullopt;
          return dir_ / "docs" / path.substr(kRoot.size());
        },
        env);
  }

  void write(const std::string& name, std::string_view text, unsigned mode) {
    fs::create_directories((dir_ / name).parent_path());
    ASSERT_TRUE(platform::write_text_file_atomic(dir_ / name, text, mode));
  }
  const fs::path& dir() const { return dir_.path(); }
  LinuxShell& shell() { return *shell_; }

 private:
  test::TempDir dir_;
  std::optional<LinuxShell> shell_;
};

// The answer names the associated program's full path; a missing document, a type without an
// association and a buffer too small fail with the Windows codes and leave the buffer alone.
TEST(LinuxShell, FindExecutableThroughTheAssociations) {
  DesktopShell desktop;
  desktop.write("docs/xxx.html", "", 0644);
  desktop.write("docs/xxx.zzz", "", 0644);
  std::array<char, 256> buffer;
  buffer.fill('#');
  EXPECT_GT(desktop.shell().FindExecutableA("C:\\docs\\xxx.html", std::nullopt, buffer), 32);
  EXPECT_EQ(std::string(buffer.data()), (desktop.dir() / "bin/browser").string());
  EXPECT_GT(desktop.shell().FindExecutableA("xxx.html", "C:\\docs", buffer), 32);

  buffer.fill('#');
  std::array<char, 4> small;
  small.fill('#');
  EXPECT_EQ(desktop.shell().FindExecutableA("C:\\docs\\gone.html", std::nullopt, buffer), 2);
  EXPECT_EQ(desktop.shell().FindExecutableA("D:\\xxx.html", std::nullopt, buffer), 2);
  EXPECT_EQ(desktop.shell().FindExecutableA("C:\\docs\\xxx.zzz", std::nullopt, buffer), 31);
  EXPECT_EQ(desktop.shell().FindExecutableA("C:\\docs\\xxx.html", std::nullopt, small), 31);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(small[0], '#');
}

// Without xdg-open on PATH a URL cannot be opened; another verb than "open" is refused.
TEST(LinuxShell, OpeningNeedsXdgOpen) {
  DesktopShell desktop;
  EXPECT_LE(desktop.shell().ShellExecuteA(0, std::nullopt, "mailto:help@example.org", std::nullopt,
                                          "\\", 0),
            32);
  EXPECT_EQ(desktop.shell().ShellExecuteA(0, "print", "http://example.org/", std::nullopt,
                                          std::nullopt, 0),
            31);
  EXPECT_EQ(desktop.shell().ShellExecuteA(0, "open", "C:\\docs\\gone.html", std::nullopt,
                                          std::nullopt, 0),
            2);
}

// Reads a file the started program writes, waiting for it a few seconds at most.
std::string wait_for_file(const fs::path& file) {
  for (int i = 0; i < 500 && !fs::exists(file); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return platform::read_text_file(file, 4096).value_or("");
}

// The desktop's URL opener gets the address as its one and only argument, untouched by any
// shell: blanks, quotes and substitutions arrive as they were.
TEST(LinuxShell, UrlOpenerGetsExactlyTheAddress) {
  DesktopShell desktop;
  desktop.write("bin/xdg-open",
                "#!/bin/sh\n"
                "printf '%s\\n' \"$#\" \"$1\" > \"$(dirname \"$0\")/../opened.tmp\"\n"
                "mv \"$(dirname \"$0\")/../opened.tmp\" \"$(dirname \"$0\")/../opened\"\n",
                0755);
  const std::string address = "mailto:a b@c.jp;$(touch pwned) `id` 'q' \"d\"";
  EXPECT_GT(desktop.shell().ShellExecuteA(0, std::nullopt, address, std::nullopt, "\\", 0), 32);
  EXPECT_EQ(wait_for_file(desktop.dir() / "opened"), "1\n" + address + "\n");
}

// A started program runs by its argument vector, in a session and process group of its own,
// with stdin from /dev/null, and leaves no child of ours behind.
TEST(DetachedLaunch, RunsInItsOwnProcessGroup) {
  DesktopShell desktop;
  const fs::path script = desktop.dir() / "report";
  desktop.write("report",
                "#!/bin/sh\n"
                "set -- $(cut -d' ' -f5,6 /proc/$$/stat) $# \"$0\"\n"
                "echo \"$1 $2 $3 $(readlink /proc/$$/fd/0) $4\" > \"$(dirname \"$0\")/out.tmp\"\n"
                "mv \"$(dirname \"$0\")/out.tmp\" \"$(dirname \"$0\")/out\"\n",
                0755);
  ASSERT_TRUE(desktop.shell().start_program(script.string()));
  std::istringstream report(wait_for_file(desktop.dir() / "out"));
  pid_t pgid = 0, sid = 0;
  int argc = -1;
  std::string stdin_target, argv0;
  report >> pgid >> sid >> argc >> stdin_target >> argv0;
  EXPECT_GT(pgid, 0);
  EXPECT_NE(pgid, getpgrp());
  EXPECT_NE(sid, getsid(0));
  EXPECT_EQ(argc, 0);
  EXPECT_EQ(stdin_target, "/dev/null");
  EXPECT_EQ(argv0, script.string());
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // no child left, not even a zombie
}

// Only an absolute path of an executable file is a program; one that cannot run is reported,
// not assumed started.
TEST(DetachedLaunch, FailureToRunIsReported) {
  DesktopShell desktop;
  const std::string browser = (desktop.dir() / "bin/browser").string();
  EXPECT_TRUE(desktop.shell().program_exists(browser));
  EXPECT_FALSE(desktop.shell().program_exists("bin/browser"));
  EXPECT_FALSE(desktop.shell().program_exists(desktop.dir().string()));
  desktop.write("plain", "#!/bin/sh\n", 0644);
  EXPECT_FALSE(start_detached({(desktop.dir() / "plain").string()}));
  fs::remove(browser);
  EXPECT_FALSE(desktop.shell().program_exists(browser));
  EXPECT_FALSE(desktop.shell().start_program(browser));
  EXPECT_FALSE(start_detached({"relative"}));
  EXPECT_FALSE(start_detached({}));
}

}  // namespace
}  // namespace nimbra::lnx
