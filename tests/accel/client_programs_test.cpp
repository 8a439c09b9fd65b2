// SPDX-License-Identifier: MIT
#include "accel/client_programs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "nimbra_test/test_machine.h"
#include "platform/sim/desktop/sim_shell.h"

namespace nimbra::accel {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBrowser = "C:\\Program Files\\Browser\\browser.exe";
constexpr std::string_view kMsgMailer = "C:\\Program Files\\Office\\outlook.exe";
constexpr std::string_view kEmlMailer = "C:\\Program Files\\Mail\\mail.exe";

// A shell whose FindExecutableA writes fixed bytes, as a Windows shell may.
class AnsweringShell : public platform::Shell {
 public:
  explicit AnsweringShell(std::string answer) : answer_(std::move(answer)) {}
  intptr_t FindExecutableA(std::string_view, std::optional<std::string_view>,
                           std::span<char> result) override {
    std::copy_n(answer_.begin(), std::min(answer_.size(), result.size()), result.begin());
    return 42;
  }
  bool program_exists(std::string_view) override { return false; }
  bool start_program(std::string_view) override { return false; }
  intptr_t ShellExecuteA(platform::Hwnd, std::optional<std::string_view>, std::string_view,
                         std::optional<std::string_view>, std::optional<std::string_view>,
                         int32_t) override {
    return 31;
  }

 private:
  std::string answer_;
};

// The shell's answer is cut at its first NUL; an answer without one, or naming the document
// itself in another case, means no separate program.
TEST(FindDefaultProgram, AnswerRules) {
  const std::string doc = "C:\\Program Files\\Nimbra\\xxx.html";
  struct Row {
    std::string answer;
    std::string expected;
  };
  const Row rows[] = {
      {std::string(kBrowser) + '\0' + "rest", std::string(kBrowser)},
      {"C:\\PROGRAM FILES\\NIMBRA\\XXX.HTML" + std::string(1, '\0'), ""},
      {std::string(300, 'x'), ""},
      {std::string(1, '\0'), ""},
  };
  for (const Row& row : rows) {
    AnsweringShell shell(row.answer);
    EXPECT_EQ(FindDefaultProgram(shell, doc), row.expected) << row.answer.substr(0, 40);
  }
}

std::string shell_ini(std::initializer_list<std::pair<std::string_view, std::string_view>> rows) {
  std::string ini = "[shell]\n";
  for (const auto& [extension, program] : rows) {
    ini += std::string(extension) + " = " + std::string(program) + "\n";
  }
  return ini;
}

// Names of the files left in a machine folder.
std::vector<std::string> files_in(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// The browser is the ".html" program; the mailer the ".msg" one, else the ".eml" one; no probe
// stays behind in the program's directory.
TEST(FindClients, ProgramsOfTheProbeTypes) {
  struct Row {
    std::string ini;
    std::string_view browser;
    std::string_view mailer;
  };
  const Row rows[] = {
      {shell_ini({{".html", kBrowser}, {".msg", kMsgMailer}, {".eml", kEmlMailer}}), kBrowser,
       kMsgMailer},
      {shell_ini({{".htm", kBrowser}, {".eml", kEmlMailer}}), "", kEmlMailer},
      {"", "", ""},
  };
  for (const Row& row : rows) {
    test::TestMachine test(test::with_card(), row.ini);
    shell::AppContext app(test.machine().start_process().platform());
    EXPECT_EQ(FindBrowser(app), row.browser) << row.ini;
    EXPECT_EQ(FindMailer(app), row.mailer) << row.ini;
    EXPECT_TRUE(files_in(test.dir() / "program").empty()) << row.ini;
  }
}

// When the probe cannot be created in the program's directory, it is made in the temporary
// directory instead, and removed from there too.
TEST(FindClients, ProbeInTemporaryDirectoryWhenProgramDirectoryRefuses) {
  test::TestMachine test(test::with_card(), shell_ini({{".html", kBrowser}, {".msg", kMsgMailer}}));
  // A folder in the probe's place: even a superuser cannot create the file there.
  for (const char* name : {"xxx.html", "xxx.msg"}) {
    fs::create_directories(test.dir() / "program" / name);
  }
  shell::AppContext app(test.machine().start_process().platform());
  EXPECT_EQ(FindBrowser(app), kBrowser);
  EXPECT_EQ(FindMailer(app), kMsgMailer);
  EXPECT_TRUE(fs::is_directory(test.dir() / "program" / "xxx.html"));
  EXPECT_TRUE(files_in(test.dir() / "windows" / "TEMP").empty());
}

// A launch starts a program whose file exists at that moment (not at start-up); otherwise the
// caller's message appears in an OK box titled with the program's title.
TEST(LaunchOrReport, StartsOrShowsTheMessage) {
  struct Row {
    std::string_view path;
    bool installed;
    int message;
    bool starts;
  };
  const Row rows[] = {
      {kBrowser, true, kBrowserNotFound, true},
      {kBrowser, false, kBrowserNotFound, false},
      {"", false, kMailerNotFound, false},
  };
  for (const Row& row : rows) {
    test::TestMachine test;
    sim::Process& process = test.machine().start_process();
    shell::AppContext app(process.platform());
    if (row.installed) {
      ASSERT_TRUE(sim::install_file(test.machine().kernel(), row.path));
    }
    launch_or_report(app, row.path, row.message);
    const auto& boxes = process.window().message_boxes();
    if (row.starts) {
      EXPECT_TRUE(boxes.empty());
      ASSERT_EQ(process.shell().actions().size(), 1u);
      EXPECT_EQ(process.shell().actions()[0].target, row.path);
    } else {
      EXPECT_TRUE(process.shell().actions().empty());
      ASSERT_EQ(boxes.size(), 1u) << row.path;
      EXPECT_EQ(boxes[0].text, app.catalogue.text(row.message));
      EXPECT_EQ(boxes[0].buttons, platform::MsgBoxButtons::Ok);
    }
  }
}

}  // namespace
}  // namespace nimbra::accel
