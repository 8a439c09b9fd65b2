// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <utility>

#include "nimbra_test/temp_dir.h"
#include "platform/sim/dialup/connections_file.h"
#include "platform/sim/dialup/phonebook.h"
#include "ras_fixture.h"

namespace nimbra::test {
namespace {

using namespace platform;
using sim::WindowsVersion;

HRASCONN connect(RasMachine& m) {
  HRASCONN handle = 0;
  if (m.dial("qenvora", "qenvora", handle) != 0) return 0;
  m.machine().run_for(10000);
  return handle;
}

// Two connections fill the two-record buffer in the family's layout: 32-byte records with a
// 21-byte entry name on NT, 412-byte records with device type and name on 9x.
TEST(RasConnections, EnumeratesInTheFamilysLayout) {
  struct Row {
    WindowsVersion windows;
    uint32_t record;
  };
  for (const Row row : {Row{WindowsVersion::XP, 32}, Row{WindowsVersion::Win98, 412}}) {
    RasMachine m("[dialup]\nother_connections = ISP1\n", row.windows);
    m.provision();
    const HRASCONN handle = connect(m);
    std::vector<uint8_t> buffer(2 * row.record, 0xEE);
    bytes::put_u32(buffer, 0, row.record);
    uint32_t size = 2 * row.record;
    uint32_t count = 0;
    ASSERT_EQ(m.ras().RasEnumConnectionsA(buffer, size, count), 0u);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(size, 2 * row.record);
    std::vector<uint8_t> second(buffer.begin() + row.record, buffer.end());
    EXPECT_EQ(bytes::get_u32(second, 0), row.record);
    EXPECT_EQ(bytes::get_u32(second, 4), handle);
    EXPECT_EQ(bytes::get_field(second, 8, 9), std::string("KVAUTODL\0", 9));
    EXPECT_EQ(bytes::get_cstr(buffer, 8, 21), "ISP1");
    if (row.record == 412) {
      EXPECT_EQ(bytes::get_cstr(second, 265, 17), "modem");
      EXPECT_EQ(bytes::get_cstr(second, 282, 129), kKvt30Device);
    }
    EXPECT_EQ(second.back(), 0);
  }
}

// A file replaced by another program is read again at the next load, even when the new table
// has the same length and comes within the same clock tick.
TEST(RasConnections, AChangeByAnotherProgramIsSeenAtOnce) {
  TempDir dir;
  const sim::ConnectionsFile mine(dir / "connections.ini", CodePage::Western);
  const sim::ConnectionsFile other(dir / "connections.ini", CodePage::Western);
  EXPECT_TRUE(mine.load().up.empty());
  for (const HRASCONN handle : {0x00010002u, 0x00010003u, 0x00010004u}) {
    ASSERT_TRUE(other.update([handle](sim::ConnectionTable& table) {
      table.up = {{handle, "KVAUTODL", "modem", "card"}};
      return true;
    }));
    ASSERT_EQ(mine.load().up.size(), 1u);
    EXPECT_EQ(mine.load().up[0].handle, handle);
  }
  std::filesystem::remove(dir / "connections.ini");
  EXPECT_TRUE(mine.load().up.empty());
}

// With a watch on the file, loads between its signals do not look at the file; the service's
// own changes are seen without one.
TEST(RasConnections, AWatchedFileIsReadWhenTheWatchSaysSo) {
  TempDir dir;
  sim::ConnectionsFile mine(dir / "connections.ini", CodePage::Western);
  const sim::ConnectionsFile other(dir / "connections.ini", CodePage::Western);
  bool changed = true;
  mine.set_change_source([&changed] { return std::exchange(changed, false); });
  EXPECT_TRUE(mine.load().up.empty());
  ASSERT_TRUE(other.update([](sim::ConnectionTable& table) {
    table.up = {{0x00010002u, "KVAUTODL", "modem", "card"}};
    return true;
  }));
  EXPECT_TRUE(mine.load().up.empty());
  changed = true;
  ASSERT_EQ(mine.load().up.size(), 1u);
  ASSERT_TRUE(mine.update([](sim::ConnectionTable& table) {
    table.up.clear();
    return true;
  }));
  EXPECT_TRUE(mine.load().up.empty());
}

// ANSI texts of a Japanese machine come back from the phone book byte for byte.
TEST(RasPhonebook, KeepsJapaneseTexts) {
  RasMachine m("", sim::WindowsVersion::XP, Language::Japanese);
  const std::string password = "\x83\x70\x83\x58 %\"";  // "パス %"" in CP932
  m.provision("user", password);
  sim::Phonebook book(m.dir() / sim::kPhonebookFile, CodePage::Japanese);
  ASSERT_TRUE(book.find("kvautodl"));
  EXPECT_EQ(book.find("KVAUTODL")->dial.password, password);
}

}  // namespace
}  // namespace nimbra::test
