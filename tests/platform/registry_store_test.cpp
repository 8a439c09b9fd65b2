// SPDX-License-Identifier: MIT
#include "platform/registry/registry_store.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbra::platform {
namespace {

// Subkeys enumerate alphabetically ignoring case and keep the case they were created with; values
// keep the order they were first set in, and replacing a value keeps its place and its name's case.
TEST(RegistryStore, EnumerationOrder) {
  RegistryStore store;
  for (const char* name : {"b", "C", "a", "B2", "_x", "A\\New"})
    store.create_key(std::string("HKCU\\k\\") + name);
  EXPECT_EQ(store.subkeys("HKCU\\k"), (std::vector<std::string>{"_x", "a", "b", "B2", "C"}));
  EXPECT_EQ(store.subkeys("hkey_current_user\\K\\a\\"), std::vector<std::string>{"New"});

  store.set_dword("HKCU\\k", "Zeta", 1);
  store.set_string("HKCU\\k", "", "default");
  store.set_binary("HKCU\\k", "alpha", std::vector<uint8_t>{1, 2});
  store.set_dword("HKCU\\k", "ZETA", 2);
  const auto values = store.values("HKCU\\k");
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].name, "Zeta");
  EXPECT_EQ(values[0].value, (RegValue{REG_DWORD, {2, 0, 0, 0}}));
  EXPECT_EQ(values[1].name, "");
  EXPECT_EQ(values[2].name, "alpha");
  EXPECT_EQ(store.value("hkcu\\K", "ALPHA"), (RegValue{REG_BINARY, {1, 2}}));
}

// Deleting a key takes its subtree; roots cannot be deleted; a deleted value is gone.
TEST(RegistryStore, Deletion) {
  RegistryStore store;
  store.set_dword("HKLM\\a\\b\\c", "v", 1);
  store.create_key("HKLM\\a\\other");
  EXPECT_TRUE(store.delete_key("hklm\\A\\B"));
  EXPECT_FALSE(store.key_exists("HKLM\\a\\b\\c"));
  EXPECT_TRUE(store.key_exists("HKLM\\a\\other"));
  EXPECT_FALSE(store.delete_key("HKLM\\a\\b"));
  EXPECT_FALSE(store.delete_key("HKEY_LOCAL_MACHINE"));
  EXPECT_TRUE(store.key_exists("HKLM"));

  store.set_string("HKLM\\a", "Name", "x");
  EXPECT_TRUE(store.delete_value("HKLM\\a", "NAME"));
  EXPECT_FALSE(store.value("HKLM\\a", "Name"));
  EXPECT_FALSE(store.delete_value("HKLM\\a", "Name"));
}

// Paths outside the roots, over-long or control-character names and too deep nesting are
// refused; lengths count UTF-16 units as Windows does.
TEST(RegistryStore, KeyPathBounds) {
  std::string deep = "HKU";
  for (size_t i = 0; i < RegistryStore::kMaxDepth; ++i) deep += "\\k";
  std::string kana_name;  // 255 characters in 765 bytes
  for (int i = 0; i < 255; ++i) kana_name += "\xE3\x81\x82";
  std::string emoji_name;
  for (int i = 0; i < 128; ++i) emoji_name += "\xF0\x9F\x98\x80";  // 256 UTF-16 units
  const struct {
    std::string path;
    bool valid;
  } cases[] = {
      {"HKEY_CLASSES_ROOT\\.txt", true},
      {"HKEY_CURRENT_CONFIG\\x", false},
      {"HKLM\\" + std::string(255, 'n'), true},
      {"HKLM\\" + std::string(256, 'n'), false},
      {"HKLM\\" + kana_name, true},
      {"HKLM\\" + emoji_name, false},
      {deep, true},
      {deep + "\\k", false},
      {"HKLM\\line\nbreak", false},
      {"HKLM\\bad\xFF"
       "utf8",
       false},
      {"HKLM\\odd ]\"=;[ name", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RegistryStore::key_path_error(c.path).empty(), c.valid) << c.path.substr(0, 40);
    RegistryStore store;
    EXPECT_EQ(store.create_key(c.path), c.valid) << c.path.substr(0, 40);
  }
}

// Value names must be printable and text values valid UTF-8; binary data may be anything, up to
// the size bound.
TEST(RegistryStore, ValueBounds) {
  const struct {
    std::string name;
    RegValue value;
    bool valid;
  } cases[] = {
      {"ok", RegValue{REG_SZ, {'a', 0, 'b'}}, true},
      {"tab\tname", RegValue{REG_SZ, {}}, false},
      {std::string(16383, 'v'), RegValue{REG_SZ, {}}, true},
      {std::string(16384, 'v'), RegValue{REG_SZ, {}}, false},
      {"bad", RegValue{REG_SZ, {0xC3}}, false},
      {"bad", RegValue{REG_MULTI_SZ, {0xFF, 0, 0}}, false},
      {"raw", RegValue{REG_BINARY, {0xFF, 0xC3}}, true},
      {"big", RegValue{REG_BINARY, std::vector<uint8_t>(RegistryStore::kMaxValueSize)}, true},
      {"big", RegValue{REG_BINARY, std::vector<uint8_t>(RegistryStore::kMaxValueSize + 1)}, false},
  };
  for (const auto& c : cases) {
    RegistryStore store;
    EXPECT_EQ(store.set_value("HKLM\\k", c.name, c.value), c.valid) << c.name.substr(0, 20);
    EXPECT_EQ(store.key_exists("HKLM\\k"), c.valid);
  }
}

}  // namespace
}  // namespace nimbra::platform
