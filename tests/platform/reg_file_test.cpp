// SPDX-License-Identifier: MIT
#include "platform/registry/reg_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text/utf16.h"

namespace nimbra::platform {

void PrintTo(const RegValue& value, std::ostream* os) {
  *os << "type " << value.type << ", " << value.data.size() << " bytes";
}

namespace {

std::vector<uint8_t> bytes_of(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

RegistryStore parse_ok(std::string_view text) {
  RegParseResult result = parse_reg_file(text);
  EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error().describe());
  return result.ok() ? result.store() : RegistryStore();
}

constexpr std::string_view kUnicodeFile =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; modems\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Modem\\0000]\r\n"
    "\"AttachedTo\"=\"COM3\"\r\n"
    "@=\"default\"\r\n"
    "\"Path\"=\"C:\\\\Program Files\\\\\\\"Nimbra\\\"\"\r\n"
    "\"Count\"=dword:0000001F\r\n"
    "\"Blob\"=hex:00,01,fe,\\\r\n"
    "  FF\r\n"
    "\"Expand\"=hex(2):25,00,57,00,25,00,00,00\r\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    "\"Gone\"=dword:1\r\n"
    "\"Gone\"=-\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Dropped\\Child]\r\n"
    "[-HKEY_CURRENT_USER\\Software\\Dropped]\r\n"
    "[HKCU\\Software\\Kept]\r\n";

// A file as the registry editor writes it: comments, escapes, a continued hex list, UTF-16 text
// types, and deletions of a value and a key.
TEST(RegFile, ParsesEditorExport) {
  const RegistryStore store = parse_ok(kUnicodeFile);
  const std::string modem = "HKLM\\System\\CurrentControlSet\\Services\\Class\\Modem\\0000";
  EXPECT_EQ(store.value(modem, "AttachedTo"), (RegValue{REG_SZ, bytes_of("COM3")}));
  EXPECT_EQ(store.value(modem, ""), (RegValue{REG_SZ, bytes_of("default")}));
  EXPECT_EQ(store.value(modem, "Path"),
            (RegValue{REG_SZ, bytes_of("C:\\Program Files\\\"Nimbra\"")}));
  EXPECT_EQ(store.value(modem, "Count"), (RegValue{REG_DWORD, {0x1F, 0, 0, 0}}));
  EXPECT_EQ(store.value(modem, "Blob"), (RegValue{REG_BINARY, {0x00, 0x01, 0xFE, 0xFF}}));
  EXPECT_EQ(store.value(modem, "Expand"), (RegValue{REG_EXPAND_SZ, bytes_of("%W%")}));
  EXPECT_EQ(store.value(modem, "Multi"),
            (RegValue{REG_MULTI_SZ, bytes_of(std::string("a\0b\0\0", 5))}));
  EXPECT_FALSE(store.value(modem, "Gone"));
  EXPECT_EQ(store.values(modem).size(), 7u);
  EXPECT_FALSE(store.key_exists("HKCU\\Software\\Dropped"));
  EXPECT_TRUE(store.key_exists("HKCU\\Software\\Kept"));
}

// The same registry arrives as UTF-16LE with a byte-order mark, as UTF-8 with one, or with LF
// line ends, and parses the same; a REGEDIT4 file holds its text types as single-byte text.
TEST(RegFile, AcceptsEncodingsAndBothVersions) {
  const RegistryStore expected = parse_ok(kUnicodeFile);
  std::vector<uint8_t> utf16 = {0xFF, 0xFE};
  const auto body = utf8_to_utf16le(kUnicodeFile);
  utf16.insert(utf16.end(), body.begin(), body.end());
  std::string lf(kUnicodeFile);
  std::erase(lf, '\r');
  for (const std::string& text :
       {std::string(utf16.begin(), utf16.end()), "\xEF\xBB\xBF" + std::string(kUnicodeFile), lf}) {
    EXPECT_EQ(parse_ok(text), expected);
  }

  const RegistryStore old = parse_ok(
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Old]\n\"Name\"=\"caf\xC3\xA9\"\n"
      "\"Expand\"=hex(2):25,57,25,00\n\"Multi\"=hex(7):61,00,62,00,00\n");
  EXPECT_EQ(old.value("HKLM\\Software\\Old", "Name"), (RegValue{REG_SZ, bytes_of("caf\xC3\xA9")}));
  EXPECT_EQ(old.value("HKLM\\Software\\Old", "Expand"), (RegValue{REG_EXPAND_SZ, bytes_of("%W%")}));
  EXPECT_EQ(old.value("HKLM\\Software\\Old", "Multi"),
            (RegValue{REG_MULTI_SZ, bytes_of(std::string("a\0b\0\0", 5))}));
}

// The writer's exact output: version 5.00, CRLF, keys in enumeration order, text types as
// UTF-16 hex, and hex lists wrapped like the registry editor's at 80 columns.
TEST(RegFile, FormatsLikeTheEditor) {
  RegistryStore store;
  store.set_string("HKLM\\Software\\B", "", "v");
  store.set_dword("HKLM\\Software\\a", "n", 0xDEADBEEF);
  store.set_value("HKLM\\Software\\a", "e", RegValue{REG_EXPAND_SZ, bytes_of("%A%")});
  store.set_value("HKLM\\Software\\a", "two lines", RegValue{REG_SZ, bytes_of("1\n2")});
  std::vector<uint8_t> blob(30);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i);
  store.set_binary("HKLM\\Software\\a", "blob", blob);
  store.create_key("HKCU\\Empty");
  EXPECT_EQ(format_reg_file(store),
            "Windows Registry Editor Version 5.00\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Empty]\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software]\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\a]\r\n"
            "\"n\"=dword:deadbeef\r\n"
            "\"e\"=hex(2):25,00,41,00,25,00,00,00\r\n"
            "\"two lines\"=hex(1):31,00,0a,00,32,00,00,00\r\n"
            "\"blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
            "  16,17,18,19,1a,1b,1c,1d\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\B]\r\n"
            "@=\"v\"\r\n"
            "\r\n");
}

// Formatting then parsing gives back an equal registry, whatever the names and values hold.
TEST(RegFile, RoundTripsOddNamesAndEveryType) {
  RegistryStore store;
  const std::string key = "HKLM\\Soft]ware\\a\\b [x] \"q\" =;@\\\xE6\x97\xA5\xE6\x9C\xAC";
  const std::vector<std::string> names = {"",         "@",   "back\\slash",
                                          "quote\"d", "a=b", "]",
                                          "\"=\"",    "\\",  "\xE5\x90\x8D\xE5\x89\x8D",
                                          " spaced "};
  std::vector<uint8_t> long_blob(1000);
  for (size_t i = 0; i < long_blob.size(); ++i) long_blob[i] = static_cast<uint8_t>(i * 7);
  const std::vector<RegValue> values = {
      {REG_SZ, bytes_of("plain")},
      {REG_SZ, {}},
      {REG_SZ, bytes_of("C:\\dir\\\"x\" = ] \xE6\x97\xA5")},
      {REG_SZ, bytes_of(std::string("nul\0inside\r\n", 13))},
      {REG_SZ, bytes_of(std::string("ends in nul\0", 12))},
      {REG_EXPAND_SZ, bytes_of("%SystemRoot%\\x")},
      {REG_EXPAND_SZ, {}},
      {REG_MULTI_SZ, bytes_of(std::string("one\0\xF0\x9F\x98\x80\0\0", 10))},
      {REG_MULTI_SZ, {}},
      {REG_DWORD, {1, 2, 3, 4}},
      {REG_DWORD, {1, 2, 3}},
      {REG_BINARY, {}},
      {REG_BINARY, long_blob},
      {REG_NONE, {0xAB}},
      {0x12345678, {1}},
  };
  for (size_t i = 0; i < names.size(); ++i) store.set_value(key, names[i], values[i]);
  for (size_t i = 0; i < values.size(); ++i) {
    store.set_value("HKU\\types", "v" + std::to_string(i), values[i]);
  }
  store.create_key("HKCR\\.empty");
  store.set_dword("HKCU", "on the root", 7);

  EXPECT_EQ(parse_ok(format_reg_file(store)), store);
}

// Corrupt input is an error naming the line and the fault, never a partial registry.
TEST(RegFile, CorruptInputIsAnError) {
  const std::string header = "Windows Registry Editor Version 5.00\n";
  const std::string key = header + "[HKLM\\k]\n";
  const struct {
    std::string text;
    size_t line;
    std::string message_part;
  } cases[] = {
      {"", 1, "not a registry file"},
      {"\xFE\xFF\0W", 0, "big-endian"},
      {"\xFF\xFE"
       "W",
       0, "odd number"},
      {std::string("\xFF\xFE"
                   "W\0\n\0\x00\xDC",
                   8),
       2, "UTF-16"},
      {header + "\n[HKEY_FOO\\k]\n", 3, "outside HKEY_LOCAL_MACHINE"},
      {header + "\"v\"=\"x\"\n", 2, "outside a key"},
      {header + "[HKLM\\k\n", 2, "closing ]"},
      {header + "[HKLM\\k] ; note\n", 2, "after the closing ]"},
      {header + "[-HKLM]\n", 2, "root"},
      {key + "\"v\"=\"open\n", 3, "unterminated"},
      {key + "\"v=\"x\"\n", 3, "expected ="},
      {key + "\"v\"=\"x\"y\n", 3, "after the closing quote"},
      {key + "\"v\"=\"a\\tb\"\n", 3, "unknown escape"},
      {key + "\"v\"=dword:100000000\n", 3, "out of range"},
      {key + "\"v\"=hex:01,0g\n", 3, "bad hex byte in item 2"},
      {key + "\"v\"=hex:01,02,\n", 3, "bad hex byte"},
      {key + "\"v\"=hex(100000000):00\n", 3, "type out of range"},
      {key + "\"v\"=hex(z):00\n", 3, "bad value type"},
      {key + "\"v\"=hex:01,\\\n", 3, "past the end of the file"},
      {key + "\"v\"=hex(1):41,00,42\n", 3, "UTF-16"},
      {key + "\"v\"=text\n", 3, "expected \"text\""},
      {key + "\"bad\tname\"=\"x\"\n", 3, "control character"},
      {key + "junk\n", 3, "expected [key]"},
      {key + "; fine\n\"v\"=\"caf\xE9\"\n", 4, "not valid UTF-8"},
      {"REGEDIT4\n[HKLM\\k]\n\"v\"=hex(2):e9,00\n", 3, "not valid UTF-8"},
  };
  for (const auto& c : cases) {
    const RegParseResult result = parse_reg_file(c.text);
    ASSERT_FALSE(result.ok()) << c.text.substr(0, 60);
    EXPECT_EQ(result.error().line, c.line) << c.text.substr(0, 60);
    EXPECT_NE(result.error().message.find(c.message_part), std::string::npos)
        << c.text.substr(0, 60) << " -> " << result.error().message;
  }
  EXPECT_EQ(parse_reg_file(key + "\"v\"=dword:zz\n").error().describe(), "line 3: bad dword value");
}

// Input beyond the size bound is refused whole.
TEST(RegFile, SizeBound) {
  std::string huge = "Windows Registry Editor Version 5.00\n";
  huge.resize(kMaxRegFileSize + 1, '\n');
  const RegParseResult result = parse_reg_file(huge);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().describe(), "file larger than 64 MiB");
}

}  // namespace
}  // namespace nimbra::platform
