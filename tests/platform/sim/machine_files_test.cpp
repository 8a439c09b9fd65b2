// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>

#include <chrono>
#include <map>
#include <string>

#include "nimbra_test/temp_dir.h"
#include "platform/host/file_io.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine/machine_location.h"
#include "platform/sim/machine_power.h"
#include "ras_fixture.h"
#include "shell/settings_file.h"
#include "validity/limit_file.h"

namespace nimbra::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Every regular file under `dir` with its bytes.
std::map<fs::path, std::string> files_under(const fs::path& dir) {
  std::map<fs::path, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    files[entry.path().lexically_relative(dir)] =
        platform::read_text_file(entry.path(), 1 << 20).value_or("<unreadable>");
  }
  return files;
}

void write(const fs::path& file, std::string_view text) {
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(platform::write_text_file_atomic(file, text, 0600)) << file;
}

std::string read(const fs::path& file) {
  return platform::read_text_file(file, 1 << 20).value_or("<missing>");
}

// A directory that lost its machine.ini but holds the rest of a machine never gets a new machine
// over it, neither the demo machine at a start nor one the tool makes: the refusal names what is
// there and what is missing, and every file keeps its bytes.
TEST(MachineFiles, NoMachineIsCreatedOverAMachineWithoutItsDescription) {
  TempDir dir;
  sim::create_machine(dir.path(), with_card());
  write(dir / "phonebook.pbk", "[ISP1]\nphone = \"0312345678\"\n");
  write(dir / "windows" / "nimbra1.dat", std::string(803, 'x'));
  fs::remove(dir / "machine.ini");
  const auto before = files_under(dir.path());
  const std::function<void()> creations[] = {
      [&] { sim::ensure_demo_machine(dir.path(), platform::Language::English); },
      [&] { sim::create_machine(dir.path(), with_card()); },
  };
  for (const auto& create : creations) {
    try {
      create();
      ADD_FAILURE() << "a machine was created over the files";
    } catch (const sim::MachineError& e) {
      EXPECT_THAT(e.what(), HasSubstr(dir.path().string()));
      EXPECT_THAT(e.what(), HasSubstr("registry.reg"));
      EXPECT_THAT(e.what(), HasSubstr("phonebook.pbk"));
      EXPECT_THAT(e.what(), HasSubstr("no machine.ini"));
    }
    EXPECT_EQ(files_under(dir.path()), before);
  }
}

// Opening the machine removes the temporary files a crash mid-write left: those of a locked file
// under its lock, the others once nothing has written them for ten minutes. A temporary file that
// another process may still be writing stays, and so do names that are not temporary files.
TEST(MachineFiles, StaleTemporaryFilesGoWhenTheMachineOpens) {
  TempDir dir;
  sim::create_machine(dir.path(), with_card());
  { sim::Machine first(dir.path()); }  // the registry's lock file is there from now on
  write(dir / "connections.ini", "[service]\n");
  write(dir / "connections.ini.lock", "");
  struct Row {
    fs::path file;
    int minutes_old;
    bool stays;
  };
  const Row rows[] = {
      {".registry.reg.Ab12Cd", 0, false},
      {".connections.ini.Xy34Zz", 0, true},  // its lock is held below
      {"windows/.nimbra1.dat.Qw56Er", 11, false},
      {"windows/Temporary Internet Files/.0123456789abcdef.entry.Ty78Ui", 60, false},
      {"windows/.nimbral.dat.Rt78Yu", 1, true},
      {"windows/.nimbra1.dat.bak", 60, true},
      {"windows/.profile", 60, true},
      {"windows/nimbra1.dat.Rt78Yu", 60, true},
  };
  for (const Row& row : rows) {
    write(dir / row.file, "partial");
    const auto when = fs::file_time_type::clock::now() - std::chrono::minutes(row.minutes_old);
    fs::last_write_time(dir / row.file, when);
  }
  const int held = ::open((dir / "connections.ini.lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  { sim::Machine machine(dir.path()); }
  ::close(held);
  for (const Row& row : rows) EXPECT_EQ(fs::exists(dir / row.file), row.stays) << row.file;
}

// A line the phone book's reader does not understand keeps the entries after it, and the
// program's save keeps that line and every entry it did not change, byte for byte.
TEST(MachineFiles, PhonebookKeepsWhatItDoesNotUnderstand) {
  RasMachine m;
  const std::string others =
      "; entries of another dialler\r\n"
      "[ISP1]\r\n"
      "phone = \"0312345678\"\r\n"
      "this line is not understood\r\n"
      "[ISP2]\r\n"
      "user = \"someone\"\r\n"
      "password = \"secret\"\r\n";
  write(m.dir() / "phonebook.pbk", others);
  m.provision();
  const std::string after = read(m.dir() / "phonebook.pbk");
  EXPECT_EQ(after.substr(0, others.size()), others);
  sim::Phonebook book(m.dir() / sim::kPhonebookFile, platform::CodePage::Western);
  ASSERT_TRUE(book.find("ISP2"));
  EXPECT_EQ(book.find("ISP2")->dial.password, "secret");
  ASSERT_TRUE(book.find("KVAUTODL"));
  EXPECT_EQ(book.find("KVAUTODL")->dial.user_name, "qenvora");
}

// The dial-up service's own files keep the lines it does not own when it rewrites them: another
// dialler's comment, a line not understood and a section of its own stay in connections.ini
// across a call and its hang-up, and a restart keeps the other lines of power.ini.
TEST(MachineFiles, ServiceFilesKeepTheLinesTheyDoNotOwn) {
  RasMachine m;
  m.provision();
  const std::string foreign =
      "; kept by another dialler\n"
      "garbage line\n"
      "[notes]\n"
      "owner = someone\n";
  write(m.dir() / "connections.ini", "[service]\nnext_handle = 0x00010005\n" + foreign);
  platform::HRASCONN handle = 0;
  ASSERT_EQ(m.dial("qenvora", "qenvora", handle), 0u);
  m.machine().run_for(10000);
  ASSERT_EQ(m.service().connections().size(), 1u);
  EXPECT_EQ(m.ras().RasHangUpA(handle), 0u);
  EXPECT_TRUE(m.service().connections().empty());
  EXPECT_THAT(read(m.dir() / "connections.ini"), HasSubstr(foreign));

  write(m.dir() / "power.ini", "[restart]\ntime = 2026-01-01 00:00:00\n\n[meter]\nkwh = 12\n");
  ASSERT_TRUE(m.machine().restart());
  EXPECT_THAT(read(m.dir() / "power.ini"), HasSubstr("\n[meter]\nkwh = 12\n"));
  EXPECT_THAT(sim::last_restart(m.dir())->reason, HasSubstr("EWX_REBOOT"));
}

// What `save` says on standard error when the disk is full: every write past a file's fourth
// byte fails, as the file-size limit makes it, until `save` returns.
std::string said_on_full_disk(const std::function<void()>& save) {
  int said[2];
  if (::pipe(said) != 0) return "<no pipe>";
  std::fflush(stderr);
  const int standard_error = ::dup(STDERR_FILENO);
  ::dup2(said[1], STDERR_FILENO);
  ::close(said[1]);
  const auto no_signal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  rlimit full = limit;
  full.rlim_cur = 4;
  ::setrlimit(RLIMIT_FSIZE, &full);
  save();
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, no_signal);
  ::dup2(standard_error, STDERR_FILENO);
  ::close(standard_error);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = ::read(said[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  ::close(said[0]);
  return text;
}

// A save that fails on a full disk is told on standard error with the file's name, for the
// settings, the validity and the connections file, and the file stays as it was.
TEST(MachineFiles, FailedSavesAreReported) {
  TestMachine m;
  Program& program = m.start();  // with no settings file the program connects at start
  m.run_for(program, 10000);
  ASSERT_EQ(m.machine().dialup().connections().size(), 1u);
  struct Row {
    fs::path file;
    std::function<void()> save;
  };
  const Row rows[] = {
      {"windows/nimbra1.dat",
       [&] {
         program.app->main_form.UserTxt.text = "someone else";  // a save that changes the file
         shell::save_ini_up(*program.app);
       }},
      {"windows/nimbral.dat", [&] { validity::save_limit(*program.app, "27/03/31"); }},
      {"connections.ini",
       [&] { m.machine().dialup().hang_up(m.machine().dialup().connections()[0].handle); }},
  };
  for (const Row& row : rows) {
    const auto before = platform::read_text_file(m.dir() / row.file, 1 << 20);
    EXPECT_THAT(said_on_full_disk(row.save),
                HasSubstr("cannot save " + (m.dir() / row.file).string()));
    EXPECT_EQ(platform::read_text_file(m.dir() / row.file, 1 << 20), before) << row.file;
  }
}

}  // namespace
}  // namespace nimbra::test
