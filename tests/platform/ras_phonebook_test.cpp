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
                                           SizeCase{WindowsVersion::Win2000, "", 2088},
                                           SizeCase{WindowsVersion::Win98, "", 1768},
                                           SizeCase{WindowsVersion::WinMe, "", 1768},
                                           SizeCase{WindowsVersion::XP,
                                                    "[ras]\nentry_size = 1672\n", 1672}));

TEST(RasEntry, ShortRecordHoldsTheDeviceNameIn33Bytes) {
  // With the 1672-byte default the device name field ends at byte 1021: a 2884-byte record's
  // device name is cut to 32 characters when read into the short record.
  RasMachine m("[ras]\nentry_size = 1672\n");
  ASSERT_EQ(
      m.ras().RasSetEntryPropertiesA(std::nullopt, "KVAUTODL", entry_record(2884, kKvt30Device)),
      0u);
  std::vector<uint8_t> read(1672);
  bytes::put_u32(read, 0, 1672);
  uint32_t size = 1672;
  ASSERT_EQ(m.ras().RasGetEntryPropertiesA(std::nullopt, "KVAUTODL", read, size), 0u);
  EXPECT_EQ(bytes::get_cstr(read, 989, 33), std::string(kKvt30Device).substr(0, 32));
  EXPECT_EQ(read[1021], 0);
}

TEST(RasEntry, RefusesWhatRasWouldRefuse) {
  // Unknown record sizes, a missing entry, a device that is not an installed modem and a device
  // type other than a modem each give their RAS error, and nothing is written.
  struct Row {
    WindowsVersion windows;
    std::vector<uint8_t> record;
    uint32_t error;
  };
  auto isdn = entry_record(2884, kKvt30Device);
  bytes::put_cstr(isdn, 972, 17, "isdn");
  const Row rows[] = {
      {WindowsVersion::Win2000, entry_record(2884, kKvt30Device), ERROR_INVALID_SIZE},
      {WindowsVersion::XP, entry_record(1768, kKvt30Device), ERROR_INVALID_SIZE},
      {WindowsVersion::XP, entry_record(1672, kKvt30Device), ERROR_INVALID_SIZE},
      {WindowsVersion::Win98, entry_record(2088, kKvt30Device), ERROR_INVALID_SIZE},
      {WindowsVersion::XP, std::vector<uint8_t>{0x44, 0x0B}, ERROR_INVALID_SIZE},
      {WindowsVersion::XP, entry_record(2884, "Arlen Denshi KVT31-J"), ERROR_DEVICE_DOES_NOT_EXIST},
      {WindowsVersion::XP, entry_record(2884, "arlen denshi co.,ltd. kvt30-j"),
       ERROR_DEVICE_DOES_NOT_EXIST},
      {WindowsVersion::XP, isdn, ERROR_DEVICETYPE_DOES_NOT_EXIST},
  };
  for (const Row& row : rows) {
    RasMachine m("", row.windows);
    EXPECT_EQ(m.ras().RasSetEntryPropertiesA(std::nullopt, "KVAUTODL", row.record), row.error);
    uint32_t size = 0;
    EXPECT_EQ(m.ras().RasGetEntryPropertiesA(std::nullopt, "KVAUTODL", {}, size),
              ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
  }
}

TEST(RasEntry, ReadingWithAnUnknownSizeFieldFails) {
  // A read buffer whose size field RAS does not know is refused with ERROR_INVALID_SIZE.
  RasMachine m;
  m.provision();
  std::vector<uint8_t> read(2884);
  bytes::put_u32(read, 0, 1000);
  uint32_t size = 2884;
  EXPECT_EQ(m.ras().RasGetEntryPropertiesA(std::nullopt, "KVAUTODL", read, size),
            ERROR_INVALID_SIZE);
}

TEST(RasEntry, NtNamesASuffixedUsbModemOnlyWhenConfigured) {
  // On the NT family a modem configured with an instance suffix is known to RAS only by the
  // suffixed name; on Windows 98 the suffix does not apply.
  const std::string suffixed = "Q-R DATA UCA2-PCX #2";
  const std::string plain = "Q-R DATA UCA2-PCX";
  struct Row {
    WindowsVersion windows;
    uint32_t size;
    uint32_t suffixed_result;
    uint32_t plain_result;
  };
  for (const Row row : {Row{WindowsVersion::XP, 2884, 0, ERROR_DEVICE_DOES_NOT_EXIST},
                        Row{WindowsVersion::Win98, 1768, ERROR_DEVICE_DOES_NOT_EXIST, 0}}) {
    TestMachine tm(sim::MachineSpec{row.windows, Language::English, {{"UCA2-PCX", 4, ""}}},
                   "[card]\nras_suffix = #2\n");
    Ras& ras = tm.machine().start_process().ras();
    EXPECT_EQ(ras.RasSetEntryPropertiesA(std::nullopt, "A", entry_record(row.size, suffixed)),
              row.suffixed_result);
    EXPECT_EQ(ras.RasSetEntryPropertiesA(std::nullopt, "B", entry_record(row.size, plain)),
              row.plain_result);
  }
}

TEST(RasDialParams, StoresAndReadsBothLayouts) {
  // The stored user name and password come back at the offsets of the family's layout, with
  // the size field and entry name left as the caller set them.
  for (const auto windows : {WindowsVersion::XP, WindowsVersion::Win98}) {
    RasMachine m("", windows);
    m.provision("user@korvo", "pa ss");
    const bool nt = windows == WindowsVersion::XP;
    std::vector<uint8_t> params = dial_params(nt, "KVAUTODL", "", "");
    bool stored = false;
    ASSERT_EQ(m.ras().RasGetEntryDialParamsA(std::nullopt, params, stored), 0u);
    EXPECT_TRUE(stored);
    EXPECT_EQ(bytes::get_u32(params, 0), nt ? 736u : 1052u);
    EXPECT_EQ(bytes::get_cstr(params, 4, nt ? 21 : 257), "KVAUTODL");
    EXPECT_EQ(bytes::get_field(params, nt ? 203 : 519, 11), std::string("user@korvo\0", 11));
    EXPECT_EQ(bytes::get_field(params, nt ? 460 : 776, 6), std::string("pa ss\0", 6));
    EXPECT_EQ(params[nt ? 25 : 261], 0);
    EXPECT_EQ(params[nt ? 717 : 1033], 0);
  }
}

TEST(RasDialParams, RefusesWrongSizesAndMissingEntries) {
  // The other family's layout is an invalid size; an entry that does not exist is not found.
  RasMachine m;
  m.provision();
  bool stored = false;
  auto nine_x = dial_params(false, "KVAUTODL", "u", "p");
  EXPECT_EQ(m.ras().RasSetEntryDialParamsA(std::nullopt, nine_x, false), ERROR_INVALID_SIZE);
  EXPECT_EQ(m.ras().RasGetEntryDialParamsA(std::nullopt, nine_x, stored), ERROR_INVALID_SIZE);
  auto other = dial_params(true, "OTHER", "u", "p");
  EXPECT_EQ(m.ras().RasSetEntryDialParamsA(std::nullopt, other, false),
            ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
  EXPECT_EQ(m.ras().RasGetEntryDialParamsA(std::nullopt, other, stored),
            ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
}

TEST(RasDialParams, RemovingThePasswordKeepsTheUser) {
  // Storing with the remove flag clears the password and keeps the user name.
  RasMachine m;
  m.provision();
  ASSERT_EQ(
      m.ras().RasSetEntryDialParamsA(std::nullopt, dial_params(true, "KVAUTODL", "bob", "x"), true),
      0u);
  auto params = dial_params(true, "KVAUTODL", "", "");
  bool stored = true;
  ASSERT_EQ(m.ras().RasGetEntryDialParamsA(std::nullopt, params, stored), 0u);
  EXPECT_FALSE(stored);
  EXPECT_EQ(bytes::get_cstr(params, 203, 257), "bob");
}

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
