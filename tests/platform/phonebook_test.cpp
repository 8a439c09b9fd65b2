#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/sim/phonebook.h"
#include "ras_fixture.h"

namespace nimbra::test {
namespace {

using namespace platform;

TEST(RasPhonebook, IsPrivateAndKeepsJapaneseTexts) {
  // The phone book holds passwords: it is created with mode 0600, and ANSI texts of a Japanese
  // machine come back byte for byte.
  RasMachine m("", sim::WindowsVersion::XP, Language::Japanese);
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
