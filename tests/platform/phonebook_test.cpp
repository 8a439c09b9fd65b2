#include <gtest/gtest.h>

#include "platform/sim/phonebook.h"
#include "ras_fixture.h"

namespace nimbra::test {
namespace {

using namespace platform;

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
