// SPDX-License-Identifier: MIT
#include "shell/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"
#include "shell/records/settings_record.h"

namespace nimbra::shell {
namespace {

using test::TestMachine;
using Bytes = std::vector<uint8_t>;

void put(Bytes& image, size_t offset, const Bytes& field) {
  std::copy(field.begin(), field.end(), image.begin() + offset);
}

Bytes text(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

// The flags the option tree saves when it is built: nodes 1, 3 and 5 true.
const Bytes kBuildTimeFlags = {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00,
                               0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};

// Apply on the Dial-up page writes the whole record at its offsets, the company name in the
// language of the interface and in the machine's code page, and keeps the file private.
TEST(SettingsFile, SavedBytesInBothLanguages) {
  struct Row {
    platform::Language language;
    std::string user;  // UTF-8, as typed
    Bytes user_bytes;  // as the code page stores it
    Bytes signature;
  };
  const Row rows[] = {
      {platform::Language::English, "abcdefghijklmnopqrstuvwxyz0123",
       text("abcdefghijklmnopqrstuvwxyz0123"), text("Veltrano Inc.")},
      {platform::Language::Japanese, "北", {0x96, 0x6B}, {0x83, 0x94, 0x83, 0x46, 0x83, 0x8B, 0x83,
                                                          0x67, 0x83, 0x89, 0x83, 0x6D, 0x8A, 0x94,
                                                          0x8E, 0xAE, 0x89, 0xEF, 0x8E, 0xD0}},
  };
  for (const Row& r : rows) {
    TestMachine m(test::with_card(sim::WindowsVersion::XP, r.language));
    auto& program = m.start();
    auto& form = program.form();
    form.UserTxt.text = r.user;
    form.PassTxt.text = std::string("secret");
    form.AccMode[1].value = true;
    program.handle([&] { form.CmdApply.click(); });

    Bytes expected(803, 0);
    put(expected, 0, {0x01, 0x00, 0x00, 0x00});
    put(expected, 4, r.signature);
    put(expected, 261, r.user_bytes);
    put(expected, 518, text("secret"));
    put(expected, 775, {0x01, 0x00, 0x00, 0x00});
    put(expected, 779, {0x01, 0x00, 0x00, 0x00});
    put(expected, 783, kBuildTimeFlags);
    EXPECT_EQ(m.read_windows_file("nimbra1.dat"), expected) << r.user;

    struct stat st {};
    ASSERT_EQ(stat((m.dir() / "windows" / "nimbra1.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
}

// A stored file fills the fields, the link mode and the tree; the flag that no node shows and
// the reserved bytes survive a save unchanged, and a name loads back intact.
TEST(SettingsFile, LoadAndSaveCarryUnshownBytes) {
  Bytes image(803, 0);
  put(image, 0, {0x03, 0x00, 0x00, 0x00});
  put(image, 4, text("Other Inc."));
  put(image, 261, text("abcdefghijklmnopqrstuvwxyz0123"));
  put(image, 518, text("pw"));
  put(image, 775, {0x01, 0x00, 0x00, 0x00});
  put(image, 779, {0x02, 0x00, 0x00, 0x00});
  put(image, 783, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF});
  put(image, 795, {0xFF, 0xFF, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
  TestMachine m;
  m.write_windows_file("nimbra1.dat", image);
  auto& program = m.start();
  auto& form = program.form();
  EXPECT_EQ(form.UserTxt.text.get(), "abcdefghijklmnopqrstuvwxyz0123");
  EXPECT_EQ(form.PassTxt.text.get(), "pw");
  EXPECT_TRUE(form.AccMode[0].value) << "the first plan, chosen at every start, is single-link";
  // The start saved the first plan's link mode over the stored one; put the file back.
  m.write_windows_file("nimbra1.dat", image);
  load_ini_up(*program.app);
  EXPECT_TRUE(form.AccMode[1].value) << "the stored link mode";
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(form.SettingTree.node(i).checked, i % 2 == 0) << i;

  program.handle([&] { form.CmdApply.click(); });
  const auto saved = m.read_windows_file("nimbra1.dat");
  ASSERT_TRUE(saved);
  EXPECT_EQ(Bytes(saved->begin() + 4, saved->begin() + 17), text("Veltrano Inc."));
  EXPECT_EQ(Bytes(saved->begin() + 17, saved->begin() + 261), Bytes(244, 0))
      << "the rest of the old company name is cleared";
  EXPECT_EQ(Bytes(saved->begin() + 261, saved->end()), Bytes(image.begin() + 261, image.end()));
}

// Link modes other than 0 and 1 select single-link, a blank user name shows the default login.
TEST(SettingsFile, OddLinkMode) {
  Bytes image(803, 0);
  put(image, 261, text("   "));
  put(image, 518, text("pw"));
  put(image, 775, {0x05, 0x00, 0x00, 0x00});
  TestMachine m;
  m.write_windows_file("nimbra1.dat", image);
  auto& form = m.start().form();
  EXPECT_TRUE(form.AccMode[0].value);
  EXPECT_FALSE(form.AccMode[1].value);
  EXPECT_EQ(form.UserTxt.text.get(), "qenvora");
  EXPECT_EQ(form.PassTxt.text.get(), "pw");
}

// An empty or short file reads as no file: the default login, checks and accelerator (Breeze,
// not the Drift of an all-zero record); the start's save keeps a short file's bytes beside it.
// A file longer than the record keeps the bytes after it.
TEST(SettingsFile, ShortFilesReadAsAbsentLongOnesKeepTheirTail) {
  for (const size_t size : {0, 265, 802}) {
    Bytes image(size, 0);
    if (size >= 265) put(image, 261, text("abcd"));
    TestMachine m;
    m.write_windows_file("nimbra1.dat", image);
    auto& program = m.start();
    EXPECT_EQ(program.form().UserTxt.text.get(), "qenvora") << size;
    EXPECT_EQ(program.form().PassTxt.text.get(), "qenvora") << size;
    for (int i = 1; i <= 6; ++i) {
      EXPECT_EQ(program.form().SettingTree.node(i).checked, i != 2 && i != 6) << size << " " << i;
    }
    const auto saved = m.read_windows_file("nimbra1.dat");
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->size(), 803u);
    EXPECT_EQ(Bytes(saved->begin() + 779, saved->begin() + 783), Bytes({1, 0, 0, 0})) << size;
    if (size > 0) {
      EXPECT_EQ(m.read_windows_file("nimbra1.dat.short"), image) << size;
    }
  }
  Bytes image(803 + 70000, 0x5A);
  std::fill_n(image.begin(), 803, 0);
  put(image, 261, text("abcd"));
  TestMachine m;
  m.write_windows_file("nimbra1.dat", image);
  auto& program = m.start();
  EXPECT_EQ(program.form().UserTxt.text.get(), "abcd");
  const auto saved = m.read_windows_file("nimbra1.dat");
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->size(), image.size());
  EXPECT_EQ(Bytes(saved->begin() + 803, saved->end()), Bytes(image.begin() + 803, image.end()));
}

}  // namespace
}  // namespace nimbra::shell
