// SPDX-License-Identifier: MIT
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

// A line that is neither section nor key is reported with its number and skipped; the entries
// after it still count.
TEST(IniFile, BadLineIsReportedAndSkipped) {
  std::string error;
  const IniFile ini = IniFile::parse("[a]\nx = 1\nnonsense\ny = 2\nworse\n", &error);
  EXPECT_EQ(error, "line 3: expected [section] or key = value");
  EXPECT_EQ(ini.get("a", "x"), "1");
  EXPECT_EQ(ini.get("a", "y"), "2");
}

// Rewriting keeps every line it did not change as it was (comments, blank lines, CR LF ends,
// lines not understood, keys before any section, a repeated section, which reads as one); a
// changed value rewrites its own line, a new key goes after its section's last entry, a removed
// section takes its lines.
TEST(IniFile, RewriteKeepsWhatItDidNotChange) {
  const std::string text =
      "stray = before any section\n"
      "; comment\r\n"
      "[a]\r\n"
      "x=1   ; spaced as the writer liked\r\n"
      "?? not understood\n"
      "y = 2\n"
      "\n"
      "[gone]\n"
      "z = 3\n"
      "[A]\n"
      "y = 4\n"
      "# end";
  IniFile ini = IniFile::parse(text);
  EXPECT_EQ(ini.format(), text + "\n");
  EXPECT_EQ(ini.get("a", "y"), "4") << "the last of repeated keys counts";
  ASSERT_EQ(ini.sections().size(), 2u) << "a repeated section reads as one";
  EXPECT_EQ(ini.section("A")->entries.size(), 3u);

  ini.set("a", "y", "5");
  ini.set("a", "x", "1   ; spaced as the writer liked");
  ini.set("a", "new", "6");
  ini.remove_section("gone");
  ini.set("b", "k", "v");
  EXPECT_EQ(ini.format(),
            "stray = before any section\n"
            "; comment\r\n"
            "[a]\r\n"
            "x=1   ; spaced as the writer liked\r\n"
            "?? not understood\n"
            "y = 2\n"
            "\n"
            "[A]\n"
            "y = 5\n"
            "new = 6\n"
            "# end\n"
            "\n"
            "[b]\n"
            "k = v\n");
}

}  // namespace
}  // namespace nimbra::platform
