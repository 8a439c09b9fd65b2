#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/sim/phonebook.h"
#include "ras_fixture.h"

namespace nimbra::test {
namespace {

using namespace platform;
using sim::WindowsVersion;

struct SizeCase {
  WindowsVersion windows;
  std::string_view extra_ini;
  uint32_t size;
};

class EntryRoundTrip : public ::testing::TestWithParam<SizeCase> {};

TEST_P(EntryRoundTrip, ReadsBackTheRecordItWrote) {
  // An entry written with a record size the machine's RAS knows is read back, at the default
  // size, as the same bytes: the fields at their offsets and zero everywhere else.
  const SizeCase c = GetParam();
  RasMachine m(c.extra_ini, c.windows);
  const auto written = entry_record(c.size, kKvt30Device);
  ASSERT_EQ(m.ras().RasSetEntryPropertiesA(std::nullopt, "KVAUTODL", written), 0u);

  uint32_t size = 0;
  EXPECT_EQ(m.ras().RasGetEntryPropertiesA(std::nullopt, std::nullopt, {}, size),
            ERROR_BUFFER_TOO_SMALL);
  EXPECT_EQ(size, c.size);
  uint32_t entry_size = 0;
  EXPECT_EQ(m.ras().RasGetEntryPropertiesA(std::nullopt, "KVAUTODL", {}, entry_size),
            ERROR_BUFFER_TOO_SMALL);
  EXPECT_EQ(entry_size, c.size);

  std::vector<uint8_t> read(entry_size, 0xEE);
  bytes::put_u32(read, 0, size);
  ASSERT_EQ(m.ras().RasGetEntryPropertiesA(std::nullopt, "KVAUTODL", read, entry_size), 0u);
  EXPECT_EQ(read, written);
}

INSTANTIATE_TEST_SUITE_P(Sizes, EntryRoundTrip,
                         ::testing::Values(SizeCase{WindowsVersion::XP, "", 2884},
                                           SizeCase{WindowsVersion::Win98, "", 1768},
                                           SizeCase{WindowsVersion::XP,
                                                    "[ras]\nentry_size = 1672\n", 1672}));

TEST(RasPhonebook, IsPrivateAndKeepsJapaneseTexts) {
  // The phone book holds passwords: it is created with mode 0600, and ANSI texts of a Japanese
  // machine come back byte for byte.
  RasMachine m("", WindowsVersion::XP, Language::Japanese);
  const std::string password = "\x83\x70\x83\x58 %\"";  // "パス %"" in CP932
  m.provision("user", password);
  struct stat st {};
  ASSERT_EQ(::stat((m.dir() / sim::kPhonebookFile).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  sim::Phonebook book(m.dir() / sim::kPhonebookFile, CodePage::Japanese);
  ASSERT_TRUE(book.find("kvautodl"));
  EXPECT_EQ(book.find("KVAUTODL")->dial.password, password);
}

}  // namespace
}  // namespace nimbra::test
