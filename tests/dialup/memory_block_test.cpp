// SPDX-License-Identifier: MIT
#include "dialup/session/memory_block.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace nimbra::dialup {
namespace {

// A page the process may read but not write, and the address of one it has given back.
struct Pages {
  Pages() {
    const auto size = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    void* ro = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    std::memcpy(ro, "read-only", 10);
    ::mprotect(ro, size, PROT_READ);
    read_only = static_cast<char*>(ro);
    void* gone = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ::munmap(gone, size);
    unmapped = static_cast<char*>(gone);
    page = size;
  }
  ~Pages() { ::munmap(read_only, page); }
  char* read_only;
  char* unmapped;
  size_t page;
};

// Bytes go into the block and out again, zeroed where nothing was written; text is read up
// to its NUL or the limit, and is empty when it cannot be read.
TEST(MemoryBlock, CopiesInAndOut) {
  MemoryBlock block;
  block.Allocate(64);
  const std::array<uint8_t, 4> in{1, 2, 3, 4};
  block.WriteTo(in.data(), in.size());
  std::array<uint8_t, 6> out{9, 9, 9, 9, 9, 9};
  block.ReadFrom(out.data(), out.size());
  EXPECT_EQ(out, (std::array<uint8_t, 6>{1, 2, 3, 4, 0, 0}));
  EXPECT_EQ(block.ExtractString(block.Handle(), 10), "\x01\x02\x03\x04");
  Pages pages;
  EXPECT_EQ(block.ExtractString(pages.read_only, 4), "read");
  EXPECT_EQ(block.ExtractString(pages.unmapped, 4), "");
  EXPECT_EQ(block.ExtractString(nullptr, 4), "");
  block.ReleaseMemory();
  EXPECT_EQ(block.Handle(), nullptr);
}

// Unusable addresses and lengths beyond the block are refused without touching either side.
TEST(MemoryBlock, RefusesUnusableAddresses) {
  Pages pages;
  MemoryBlock block;
  block.Allocate(16);
  const std::array<uint8_t, 4> marker{7, 7, 7, 7};
  block.WriteTo(marker.data(), marker.size());

  block.ReadFrom(pages.read_only, 4);
  EXPECT_STREQ(pages.read_only, "read-only");
  block.ReadFrom(pages.unmapped, 4);
  block.ReadFrom(nullptr, 4);
  std::array<uint8_t, 32> out{};
  block.ReadFrom(out.data(), out.size());  // longer than the block
  EXPECT_EQ(out[0], 0);
  block.WriteTo(pages.unmapped, 4);
  block.WriteTo(nullptr, 4);
  // Nor does a source, or a destination, that runs off the end of its mapping.
  void* two =
      ::mmap(nullptr, 2 * pages.page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(two, MAP_FAILED);
  char* first = static_cast<char*>(two);
  ::munmap(first + pages.page, pages.page);
  std::memset(first + pages.page - 2, 1, 2);
  block.WriteTo(first + pages.page - 2, 4);
  block.ReadFrom(first + pages.page - 2, 4);
  EXPECT_EQ(first[pages.page - 1], 1);
  ::munmap(first, pages.page);
  block.ReadFrom(out.data(), 4);
  EXPECT_EQ(out[0], 7);
  EXPECT_EQ(out[3], 7);
  MemoryBlock empty;  // copies nothing
  out.fill(5);
  empty.ReadFrom(out.data(), 4);
  EXPECT_EQ(out[0], 5);
}

}  // namespace
}  // namespace nimbra::dialup
