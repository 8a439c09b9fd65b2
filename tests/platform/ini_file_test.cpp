#include "platform/text/ini_file.h"

#include <gtest/gtest.h>

namespace nimbra::platform {
namespace {

// Sections and keys are found whatever their case, comments are skipped, and formatting then
// parsing gives back the same entries.
TEST(IniFile, ParseLookupAndRoundTrip) {
  std::string error = "unset";
  IniFile ini = IniFile::parse(
      "; machine\n[System]\nWindows = XP\n  language=ja  \n\n# card\n[card]\nport = 3\r\n", &error);
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(ini.get("system", "WINDOWS"), "XP");
  EXPECT_EQ(ini.get("System", "language"), "ja");
  EXPECT_EQ(ini.get("card", "port"), "3");
  EXPECT_FALSE(ini.get("card", "model"));
  EXPECT_EQ(ini.get_or("card", "model", "none"), "none");

  ini.set("card", "model", "KVT30-J");
  ini.set("CARD", "PORT", "4");
  const IniFile again = IniFile::parse(ini.format());
  EXPECT_EQ(again.get("card", "port"), "4");
  EXPECT_EQ(again.get("card", "model"), "KVT30-J");
}

// A line that is neither section nor key is reported with its number.
TEST(IniFile, BadLineIsReported) {
  std::string error;
  const IniFile ini = IniFile::parse("[a]\nx = 1\nnonsense\ny = 2\n", &error);
  EXPECT_EQ(error, "line 3: expected [section] or key = value");
  EXPECT_EQ(ini.get("a", "x"), "1");
  EXPECT_FALSE(ini.get("a", "y"));
}

}  // namespace
}  // namespace nimbra::platform
