// SPDX-License-Identifier: MIT
// Atomic replacement: a save that changes nothing leaves the file as it is; any difference in
// bytes, length or mode replaces it.
#include "platform/host/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "nimbra_test/temp_dir.h"

namespace nimbra::platform {
namespace {

std::span<const uint8_t> bytes_of(std::string_view text) {
  return std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

struct Seen {
  ino_t inode;
  unsigned mode;
  std::string text;
};

Seen look(const std::filesystem::path& file) {
  struct stat st {};
  EXPECT_EQ(::stat(file.c_str(), &st), 0);
  return {st.st_ino, static_cast<unsigned>(st.st_mode & 07777),
          read_text_file(file, 1 << 16).value_or("<missing>")};
}

TEST(AtomicReplacement, TheSameBytesLeaveTheFileAlone) {
  test::TempDir dir;
  const auto file = dir / "settings.dat";
  ASSERT_TRUE(write_text_file_atomic(file, "record", 0600));
  const Seen first = look(file);

  ASSERT_TRUE(write_text_file_atomic(file, "record", 0600));
  ASSERT_TRUE(replace_file_start_atomic(file, bytes_of("rec"), 0600));
  EXPECT_EQ(look(file).inode, first.inode);

  // Each of these would change the file, so each replaces it.
  ASSERT_TRUE(write_text_file_atomic(file, "record", 0644));
  EXPECT_NE(look(file).inode, first.inode);
  EXPECT_EQ(look(file).mode, 0644u);
  ASSERT_TRUE(write_text_file_atomic(file, "recor", 0644));
  EXPECT_EQ(look(file).text, "recor");
  ASSERT_TRUE(write_text_file_atomic(file, "Recor", 0644));
  EXPECT_EQ(look(file).text, "Recor");
  ASSERT_TRUE(replace_file_start_atomic(file, bytes_of("Record!"), 0644));
  EXPECT_EQ(look(file).text, "Record!");
  ASSERT_TRUE(replace_file_start_atomic(file, bytes_of("X"), 0644));
  EXPECT_EQ(look(file).text, "Xecord!");
}

TEST(AtomicReplacement, ALinkIsReplacedNotFollowed) {
  test::TempDir dir;
  const auto target = dir / "target.dat";
  const auto file = dir / "settings.dat";
  ASSERT_TRUE(write_text_file_atomic(target, "record", 0644));
  std::filesystem::create_symlink(target, file);
  ASSERT_TRUE(write_text_file_atomic(file, "record", 0644));
  EXPECT_FALSE(std::filesystem::is_symlink(file));

  // A second name for the file: keeping it would let a save reach through the other name.
  const auto other = dir / "other.dat";
  std::filesystem::create_hard_link(target, other);
  ASSERT_TRUE(write_text_file_atomic(other, "record", 0644));
  EXPECT_EQ(std::filesystem::hard_link_count(target), 1u);
}

}  // namespace
}  // namespace nimbra::platform
