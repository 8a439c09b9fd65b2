// SPDX-License-Identifier: MIT
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "nimbra_test/temp_dir.h"
#include "platform/host/file_io.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine/machine_location.h"
#include "shell/app_context.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace nimbra::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// What a start of the desktop program on `dir` comes to: "started", "ended: " and the text of its
// last message box, or the message that the machine cannot be opened with.
std::string start_on(const fs::path& dir) {
  try {
    sim::ensure_demo_machine(dir, platform::Language::English);
    sim::Machine machine(dir);
    sim::Process& process = machine.start_process();
    shell::AppContext app(process.platform());
    app::install_subsystems(app);
    try {
      shell::Main(app);
    } catch (const sim::ProgramEnded&) {
      const auto& boxes = process.window().message_boxes();
      return "ended: " + (boxes.empty() ? std::string() : boxes.back().text);
    }
    return "started";
  } catch (const std::exception& e) {
    return e.what();
  }
}

// Bytes no writer of these files would produce, the same on every run.
std::string garbage(size_t size) {
  std::string bytes;
  uint32_t state = 2463534242u;
  for (size_t i = 0; i < size; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes += static_cast<char>(state);
  }
  return bytes;
}

std::string read(const fs::path& file) {
  return platform::read_text_file(file, 1 << 20).value_or("<missing>");
}

// Where the user's bytes are after the start.
enum class Kept {
  Same,    // the file is untouched
  Prefix,  // the program added to the file and kept everything it held
  Beside,  // the file read as absent; its bytes are in the file of that name + ".short"
  Tail,    // the program wrote its record over the start; the bytes after it are unchanged
};

// Each machine file empty, cut short, filled with garbage or with one bad line, at the start of
// the program on the demo machine: the start ends with a message naming the file and its line,
// or goes on as the README says for damaged files; the user's bytes are kept either way.
TEST(BadMachineFiles, AtStart) {
  constexpr size_t kRecordSize = 803;
  const std::string record_and_more = std::string(kRecordSize, '\0') + "tail of another program";
  const std::string phone_book =
      "[ISP1]\nphone = \"0312345678\"\nnot understood\n[ISP2]\nuser = \"someone\"\n";
  struct Row {
    fs::path file;
    std::string bytes;  // replaces the file; "+..." inserts a line at line 3 of the demo's file
    std::string outcome;
    Kept kept;
  };
  const Row rows[] = {
      {"machine.ini", "", "machine.ini: empty", Kept::Same},
      {"machine.ini", "[sys", "machine.ini: line 1: expected [section]", Kept::Same},
      {"machine.ini", garbage(300), "machine.ini: line 1: expected [section]", Kept::Same},
      {"machine.ini", "+not a setting", "machine.ini: line 3: expected [section]", Kept::Same},
      {"registry.reg", "", "registry.reg: line 1: not a registry file", Kept::Same},
      {"registry.reg", "Windows Registry Edi", "registry.reg: line 1: not a registry file",
       Kept::Same},
      {"registry.reg", garbage(300), "registry.reg: line 1:", Kept::Same},
      {"registry.reg", "+not a key", "registry.reg: line 3:", Kept::Same},
      {"phonebook.pbk", "", "started", Kept::Prefix},
      {"phonebook.pbk", "[KVAU", "started", Kept::Prefix},
      {"phonebook.pbk", garbage(300), "started", Kept::Prefix},
      {"phonebook.pbk", phone_book, "started", Kept::Prefix},
      {"connections.ini", "", "started", Kept::Prefix},
      {"connections.ini", "[0x0001", "started", Kept::Prefix},
      {"connections.ini", garbage(300), "started", Kept::Prefix},
      {"connections.ini", "[0x00010003]\nentry = \"ISP1\"\nnot understood\n", "started",
       Kept::Prefix},
      {"power.ini", "", "started", Kept::Same},
      {"power.ini", "[rest", "started", Kept::Same},
      {"power.ini", garbage(300), "started", Kept::Same},
      {"power.ini", "[restart]\ntime = yesterday\n", "started", Kept::Same},
      {"windows/nimbra1.dat", "", "started", Kept::Prefix},
      {"windows/nimbra1.dat", std::string(300, 'x'), "started", Kept::Beside},
      {"windows/nimbra1.dat", garbage(kRecordSize), "started", Kept::Tail},
      {"windows/nimbra1.dat", record_and_more, "started", Kept::Tail},
      {"windows/nimbra1.ssd", "", "started", Kept::Same},
      {"windows/nimbra1.ssd", std::string(300, 'x'), "started", Kept::Same},
      {"windows/nimbra1.ssd", garbage(2000), "started", Kept::Same},
      {"windows/nimbral.dat", "", "started", Kept::Same},
      {"windows/nimbral.dat", "27/", "started", Kept::Same},
      {"windows/nimbral.dat", garbage(300), "started", Kept::Same},
  };
  for (const Row& row : rows) {
    TempDir dir;
    ASSERT_TRUE(sim::ensure_demo_machine(dir.path(), platform::Language::English));
    const fs::path file = dir / row.file;
    std::string bytes = row.bytes;
    if (bytes.starts_with('+')) {
      const std::string demo = read(file);
      const size_t third_line = demo.find('\n', demo.find('\n') + 1) + 1;
      bytes = demo.substr(0, third_line) + bytes.substr(1) + "\n" + demo.substr(third_line);
    }
    ASSERT_TRUE(platform::write_text_file_atomic(file, bytes, 0600));
    const std::string variant = row.file.string() + " holding " + std::to_string(bytes.size()) +
                                " bytes: " + bytes.substr(0, 20);
    EXPECT_THAT(start_on(dir.path()), HasSubstr(row.outcome)) << variant;
    const std::string after = read(file);
    switch (row.kept) {
      case Kept::Same:
        EXPECT_EQ(after, bytes) << variant;
        break;
      case Kept::Prefix:
        EXPECT_EQ(after.substr(0, bytes.size()), bytes) << variant;
        break;
      case Kept::Beside:
        EXPECT_EQ(read(file.string() + ".short"), bytes) << variant;
        break;
      case Kept::Tail:
        ASSERT_EQ(after.size(), bytes.size()) << variant;
        EXPECT_EQ(after.substr(kRecordSize), bytes.substr(kRecordSize)) << variant;
        break;
    }
  }
}

}  // namespace
}  // namespace nimbra::test
