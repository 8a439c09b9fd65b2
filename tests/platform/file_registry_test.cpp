// SPDX-License-Identifier: MIT
#include "platform/registry/file_registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "nimbra_test/temp_dir.h"
#include "platform/host/file_io.h"
#include "platform/registry/reg_file.h"

namespace nimbra::platform {
namespace {

constexpr std::string_view kModemClass = "System\\CurrentControlSet\\Services\\Class\\Modem";

std::span<const uint8_t> bytes_of(std::string_view text) {
  return std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string read_file(const std::filesystem::path& file) {
  return read_text_file(file, kMaxRegFileSize).value_or("<missing>");
}

void write_file(const std::filesystem::path& file, std::string_view text) {
  ASSERT_TRUE(write_text_file_atomic(file, text, 0644));
}

// A REG_SZ or DWORD read back through the ANSI function, or the error code as text.
std::string query(Registry& reg, HKEY root, std::string_view subkey, std::string_view name) {
  HKEY key = 0;
  if (const int32_t rc = reg.RegOpenKeyExA(root, subkey, 0, KEY_READ, key); rc != ERROR_SUCCESS) {
    return "open " + std::to_string(rc);
  }
  std::vector<uint8_t> buffer(512);
  uint32_t size = static_cast<uint32_t>(buffer.size());
  uint32_t type = 0;
  const int32_t rc = reg.RegQueryValueExA(key, name, &type, buffer, size);
  reg.RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return "query " + std::to_string(rc);
  if (type == REG_DWORD)
    return std::to_string(buffer[0] | buffer[1] << 8 | buffer[2] << 16 | buffer[3] << 24);
  return std::string(buffer.begin(), buffer.begin() + size);
}

int32_t set_string(Registry& reg, HKEY key, std::string_view name, std::string_view text) {
  return reg.RegSetValueExA(key, name, 0, REG_SZ, bytes_of(text));
}

int32_t set_dword(Registry& reg, HKEY key, std::string_view name, uint32_t number) {
  const uint8_t data[4] = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                           static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
  return reg.RegSetValueExA(key, name, 0, REG_DWORD, data);
}

class FileRegistryTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::filesystem::path file = dir / "registry.reg";
};

// Opening finds keys in any case and with doubled separators, a missing key is
// ERROR_FILE_NOT_FOUND, and enumeration ends with ERROR_NO_MORE_ITEMS.
TEST_F(FileRegistryTest, OpenAndEnumerate) {
  write_file(file,
             "Windows Registry Editor Version 5.00\r\n\r\n"
             "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Modem\\0001]\r\n"
             "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Modem\\0000]\r\n"
             "\"AttachedTo\"=\"COM3\"\r\n");
  FileRegistry reg(file, CodePage::Western);
  HKEY modems = 0;
  ASSERT_EQ(
      reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "system\\\\CurrentControlSet\\Services\\Class\\MODEM",
                        0, KEY_READ, modems),
      ERROR_SUCCESS);
  HKEY missing = 0;
  EXPECT_EQ(reg.RegOpenKeyExA(modems, "0002", 0, KEY_READ, missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.RegOpenKeyExA(modems, "0000\\deeper", 0, KEY_READ, missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(query(reg, modems, "0000", "attachedto"), std::string("COM3\0", 5));

  std::vector<std::string> names;
  char name[5];
  uint32_t length = sizeof name;
  for (uint32_t i = 0; reg.RegEnumKeyExA(modems, i, name, length) == ERROR_SUCCESS; ++i) {
    EXPECT_EQ(length, 4u);
    names.emplace_back(name, length);
    length = sizeof name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"0000", "0001"}));
  EXPECT_EQ(reg.RegEnumKeyExA(modems, 2, name, length), ERROR_NO_MORE_ITEMS);
  uint32_t short_length = 4;  // no room for the NUL
  EXPECT_EQ(reg.RegEnumKeyExA(modems, 0, name, short_length), ERROR_MORE_DATA);
  EXPECT_EQ(reg.RegEnumKeyExA(modems, 0, std::span(name, 4), length), ERROR_MORE_DATA);
  EXPECT_EQ(reg.RegCloseKey(modems), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

// Every function refuses a handle that was never opened or is already closed.
TEST_F(FileRegistryTest, InvalidHandles) {
  FileRegistry reg(file, CodePage::Western);
  HKEY key = 0;
  ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, key), ERROR_SUCCESS);
  ASSERT_EQ(reg.RegCloseKey(key), ERROR_SUCCESS);
  for (const HKEY bad : {key, HKEY{0}, HKEY{0x80000004u}}) {
    HKEY out = 0;
    char name[8];
    uint32_t length = sizeof name;
    uint8_t data[8];
    uint32_t size = sizeof data;
    EXPECT_EQ(reg.RegOpenKeyExA(bad, "", 0, KEY_READ, out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegEnumKeyExA(bad, 0, name, length), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegQueryValueExA(bad, "v", nullptr, data, size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(set_dword(reg, bad, "v", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegDeleteValueA(bad, "v"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegFlushKey(bad), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.RegCloseKey(bad), ERROR_INVALID_HANDLE);
  }
  EXPECT_FALSE(std::filesystem::exists(file));
}

// The size protocol: a zero size learns the size, a too-small size gives ERROR_MORE_DATA with
// the real size and writes nothing, and no more than the offered bytes are ever touched.
TEST_F(FileRegistryTest, QuerySizeProtocol) {
  FileRegistry reg(file, CodePage::Western);
  HKEY key = 0;
  ASSERT_EQ(reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_WRITE, key), ERROR_SUCCESS);
  const std::vector<uint8_t> big(300, 0x5A);
  ASSERT_EQ(reg.RegSetValueExA(key, "Big", 0, REG_BINARY, big), ERROR_SUCCESS);
  ASSERT_EQ(set_string(reg, key, "Text", "hello"), ERROR_SUCCESS);

  const struct {
    std::string name;
    size_t buffer;
    uint32_t offered;
    int32_t result;
    uint32_t size_after;
  } cases[] = {
      {"Text", 0, 100, ERROR_SUCCESS, 6},    // learn the size
      {"Text", 100, 0, ERROR_SUCCESS, 6},    // learn the size
      {"Text", 100, 1, ERROR_MORE_DATA, 6},  // one byte offered
      {"Text", 100, 5, ERROR_MORE_DATA, 6},  // no room for the NUL
      {"Text", 100, 6, ERROR_SUCCESS, 6},
      {"Text", 5, 100, ERROR_MORE_DATA, 6},  // the buffer is smaller than the claimed size
      {"Big", 257, 257, ERROR_MORE_DATA, 300},
      {"Big", 300, 300, ERROR_SUCCESS, 300},
      {"Missing", 10, 10, ERROR_FILE_NOT_FOUND, 10},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> memory(c.buffer + 16, 0xEE);  // a guard beyond the offered buffer
    uint32_t size = c.offered;
    uint32_t type = 0;
    EXPECT_EQ(reg.RegQueryValueExA(key, c.name, &type, std::span(memory).first(c.buffer), size),
              c.result)
        << c.name << " " << c.buffer << " " << c.offered;
    EXPECT_EQ(size, c.size_after) << c.name << " " << c.buffer << " " << c.offered;
    const size_t written = c.result == ERROR_SUCCESS ? std::min<size_t>(c.offered, c.buffer) : 0;
    for (size_t i = written; i < memory.size(); ++i) ASSERT_EQ(memory[i], 0xEE) << i;
  }
}

// Values written through the API land in the file in its text format, text cut at its first
// NUL, and a new object on the same file reads them back.
TEST_F(FileRegistryTest, WritesPersistAsText) {
  {
    FileRegistry reg(file, CodePage::Western);
    HKEY key = 0;
    ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_WRITE, key), ERROR_SUCCESS);
    EXPECT_EQ(set_string(reg, key, "Name", std::string_view("abc\0def", 7)), ERROR_SUCCESS);
    EXPECT_EQ(set_dword(reg, key, "Count", 31), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegSetValueExA(key, "Raw", 0, REG_BINARY, std::vector<uint8_t>{1, 0xFF}),
              ERROR_SUCCESS);
    EXPECT_EQ(set_dword(reg, key, "Gone", 0), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegDeleteValueA(key, "GONE"), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegDeleteValueA(key, "Gone"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg.RegFlushKey(key), ERROR_SUCCESS);
  }
  EXPECT_EQ(read_file(file),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER]\r\n"
            "\"Name\"=\"abc\"\r\n"
            "\"Count\"=dword:0000001f\r\n"
            "\"Raw\"=hex:01,ff\r\n\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  FileRegistry again(file, CodePage::Western);
  EXPECT_EQ(query(again, HKEY_CURRENT_USER, "", "name"), std::string("abc\0", 4));
  EXPECT_EQ(query(again, HKEY_CURRENT_USER, "", "Count"), "31");
}

// A value set to what it holds leaves the file alone (the program sets the same values at every
// start); what another writer saved in between is read and kept by the next real change.
TEST_F(FileRegistryTest, UnchangedValueLeavesTheFileAlone) {
  FileRegistry reg(file, CodePage::Western);
  HKEY key = 0;
  ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_WRITE, key), ERROR_SUCCESS);
  ASSERT_EQ(set_dword(reg, key, "Count", 31), ERROR_SUCCESS);
  const auto inode = [this] {
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0);
    return st.st_ino;
  };
  const auto written = inode();
  EXPECT_EQ(set_dword(reg, key, "Count", 31), ERROR_SUCCESS);
  EXPECT_EQ(inode(), written);

  FileRegistry other(file, CodePage::Western);
  HKEY other_key = 0;
  ASSERT_EQ(other.RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_WRITE, other_key), ERROR_SUCCESS);
  ASSERT_EQ(set_string(other, other_key, "Name", "x"), ERROR_SUCCESS);
  EXPECT_EQ(set_dword(reg, key, "Count", 31), ERROR_SUCCESS);
  EXPECT_EQ(query(reg, HKEY_CURRENT_USER, "", "Name"), std::string("x\0", 2));
  EXPECT_EQ(set_dword(reg, key, "Count", 32), ERROR_SUCCESS);
  EXPECT_EQ(read_file(file),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER]\r\n"
            "\"Count\"=dword:00000020\r\n"
            "\"Name\"=\"x\"\r\n\r\n");
}

// Japanese text crosses the ANSI API in CP932 and is kept as Unicode in the file; a CP932 trail
// byte that equals '\' does not split a key name.
TEST_F(FileRegistryTest, JapaneseCodePageRoundTrip) {
  const std::string ansi_text = "\x83\x5C\x83\x74\x83\x67";  // ソフト in CP932
  const std::string ansi_key = "\x83\x5C\x8E\xAE";           // ソ式 in CP932
  const std::string utf8_text = "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88";
  FileRegistry reg(file, CodePage::Japanese);
  ASSERT_TRUE(reg.modify(
      [&](RegistryStore& store) { store.create_key("HKLM\\Software\\\xE3\x82\xBD\xE5\xBC\x8F"); }));
  HKEY key = 0;
  ASSERT_EQ(
      reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\" + ansi_key, 0, KEY_READ | KEY_WRITE, key),
      ERROR_SUCCESS);
  ASSERT_EQ(set_string(reg, key, ansi_text, ansi_text), ERROR_SUCCESS);
  EXPECT_EQ(reg.snapshot().value("HKLM\\Software\\\xE3\x82\xBD\xE5\xBC\x8F", utf8_text),
            (RegValue{REG_SZ, std::vector<uint8_t>(utf8_text.begin(), utf8_text.end())}));
  EXPECT_NE(read_file(file).find("\"" + utf8_text + "\"=\"" + utf8_text + "\""), std::string::npos);
  EXPECT_EQ(query(reg, HKEY_LOCAL_MACHINE, "Software\\" + ansi_key, ansi_text), ansi_text + '\0');

  HKEY software = 0;
  ASSERT_EQ(reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, software),
            ERROR_SUCCESS);
  char name[16];
  uint32_t length = sizeof name;
  ASSERT_EQ(reg.RegEnumKeyExA(software, 0, name, length), ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, length), ansi_key);
}

// Writing needs a key opened for writing; a key deleted by someone else reports so.
TEST_F(FileRegistryTest, AccessAndDeletedKeys) {
  FileRegistry reg(file, CodePage::Western);
  ASSERT_TRUE(reg.modify([](RegistryStore& store) { store.create_key("HKLM\\Software\\K"); }));
  HKEY read_only = 0;
  ASSERT_EQ(reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\K", 0, KEY_READ, read_only),
            ERROR_SUCCESS);
  EXPECT_EQ(set_dword(reg, read_only, "v", 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg.RegDeleteValueA(read_only, "v"), ERROR_ACCESS_DENIED);

  FileRegistry other(file, CodePage::Western);
  ASSERT_TRUE(other.modify([](RegistryStore& store) { store.delete_key("HKLM\\Software\\K"); }));
  HKEY writable = 0;
  ASSERT_EQ(reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_WRITE, writable),
            ERROR_SUCCESS);
  uint32_t size = 0;
  constexpr int32_t kKeyDeleted = 1018;
  EXPECT_EQ(reg.RegQueryValueExA(read_only, "v", nullptr, {}, size), kKeyDeleted);
  EXPECT_EQ(set_dword(reg, writable, "v", 1), ERROR_SUCCESS);
}

// A forked child writing at the same time as the parent loses nothing, and neither does the parent.
TEST_F(FileRegistryTest, ChildProcessWritesConcurrently) {
  constexpr int kWrites = 100;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileRegistry reg(file, CodePage::Western);
    int failures = 0;
    for (int i = 0; i < kWrites; ++i) {
      failures += set_dword(reg, HKEY_LOCAL_MACHINE, "child" + std::to_string(i), 1) != 0;
    }
    ::_exit(failures == 0 ? 0 : 1);
  }
  FileRegistry reg(file, CodePage::Western);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(set_dword(reg, HKEY_LOCAL_MACHINE, "parent" + std::to_string(i), 1), ERROR_SUCCESS);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const RegistryStore store = FileRegistry(file, CodePage::Western).snapshot();
  EXPECT_EQ(store.values("HKLM").size(), 2u * kWrites);
}

// A save that fails (here: the file size limit is hit) leaves the old file whole, reports
// ERROR_REGISTRY_IO_FAILED, and the failed change is not seen by reads.
TEST_F(FileRegistryTest, FailedSaveKeepsOldFile) {
  FileRegistry reg(file, CodePage::Western);
  ASSERT_EQ(set_string(reg, HKEY_CURRENT_USER, "Kept", "yes"), ERROR_SUCCESS);
  const std::string before = read_file(file);

  rlimit old_limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = before.size();
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const int32_t rc = set_string(reg, HKEY_CURRENT_USER, "Lost", std::string(100, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  ::signal(SIGXFSZ, old_handler);

  EXPECT_EQ(rc, ERROR_REGISTRY_IO_FAILED);
  EXPECT_EQ(read_file(file), before);
  EXPECT_EQ(query(reg, HKEY_CURRENT_USER, "", "Lost"), "query 2");
  EXPECT_EQ(query(reg, HKEY_CURRENT_USER, "", "Kept"), std::string("yes\0", 4));
  size_t leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    leftovers += entry.path().filename().string().starts_with(".registry.reg.");
  }
  EXPECT_EQ(leftovers, 0u);
}

// A corrupt file cannot be opened, and the error names the file and the line; a file that turns
// corrupt later keeps serving the last good contents and refuses writes without touching it.
TEST_F(FileRegistryTest, CorruptFile) {
  write_file(file, "Windows Registry Editor Version 5.00\n\n[HKLM\\k\n");
  try {
    FileRegistry reg(file, CodePage::Western);
    FAIL() << "a corrupt file was accepted";
  } catch (const RegistryFileError& error) {
    EXPECT_EQ(std::string(error.what()), file.string() + ": line 3: key line without a closing ]");
  }

  write_file(file, "Windows Registry Editor Version 5.00\n\n[HKLM\\k]\n\"v\"=dword:7\n");
  FileRegistry reg(file, CodePage::Western);
  const std::string corrupt = "Windows Registry Editor Version 5.00\n\n[HKLM\\k]\n\"v\"=dword:\n";
  write_file(file, corrupt);
  EXPECT_EQ(query(reg, HKEY_LOCAL_MACHINE, "k", "v"), "7");
  EXPECT_EQ(set_dword(reg, HKEY_LOCAL_MACHINE, "w", 1), ERROR_REGISTRY_CORRUPT);
  EXPECT_FALSE(reg.modify([](RegistryStore& store) { store.set_dword("HKLM", "w", 1); }));
  EXPECT_EQ(read_file(file), corrupt);
}

}  // namespace
}  // namespace nimbra::platform
