#include "platform/sim/sim_url_cache.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"
#include "platform/sim/cache_entry_file.h"

namespace nimbra::sim {
namespace {

using Bytes = std::vector<uint8_t>;
namespace entry_file = cache_entry_file;

Bytes bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

// An entry file is the URL, a line feed and the document; its name is the URL's FNV-1a hash.
TEST(CacheEntryFile, FormatAndName) {
  EXPECT_EQ(entry_file::format("http://a/", bytes("<p>")), bytes("http://a/\n<p>"));
  EXPECT_EQ(entry_file::file_name("a", 0), "af63dc4c8601ec8c.entry");
  EXPECT_EQ(entry_file::file_name("a", 2), "af63dc4c8601ec8c-2.entry");
  EXPECT_FALSE(entry_file::format("", {}));
  EXPECT_FALSE(entry_file::format("http://a/\n", {}));
}

// Only a line of 1 to 2083 characters without control characters before the first line feed
// makes an entry.
TEST(CacheEntryFile, ParseRejectsWhatIsNoEntry) {
  const std::string longest(2083, 'u');
  struct Row {
    Bytes file;
    std::optional<std::string> url;
  };
  const Row rows[] = {
      {bytes("http://a/\nbody\n"), "http://a/"},
      {bytes("http://a/\n"), "http://a/"},
      {bytes(longest + "\n"), longest},
      {bytes(longest + "u\n"), std::nullopt},
      {bytes("http://a/"), std::nullopt},
      {bytes("\nbody"), std::nullopt},
      {bytes("http://a/\r\n"), std::nullopt},
      {Bytes{'h', 0, 'x', '\n'}, std::nullopt},
      {{}, std::nullopt},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    const auto header = entry_file::parse(rows[i].file);
    EXPECT_EQ(header ? std::optional(header->url) : std::nullopt, rows[i].url) << "row " << i;
    if (header) {
      EXPECT_EQ(header->document_offset, header->url.size() + 1);
    }
  }
}

// The walk hands out each entry as a record sized exactly for it, after a call that only
// learns the size; files that are not entries are passed over; deletion removes the file.
TEST(SimUrlCache, WalkRecordsAndDelete) {
  test::TestMachine m(test::with_card(), "[cache]\nurls = http://a.example/x\n");
  SimUrlCache& cache = m.machine().url_cache();
  std::ofstream(cache.folder() / "0000000000000000.entry") << "no line feed";

  uint32_t size = 0;
  platform::CacheSearch search = 0;
  ASSERT_EQ(cache.FindFirstUrlCacheEntryA(std::nullopt, {}, size, search),
            platform::ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(search, 0u);
  const std::string local =
      "C:\\WINDOWS\\Temporary Internet Files\\" + entry_file::file_name("http://a.example/x", 0);
  ASSERT_EQ(size, 84u + 19u + local.size() + 1u);
  Bytes record(size + 10, 0xEE);
  ASSERT_EQ(cache.FindFirstUrlCacheEntryA(std::nullopt, record, size, search),
            platform::ERROR_SUCCESS);
  ASSERT_NE(search, 0u);
  const uint32_t document = 12 + 18 + 16;  // "<html><body>" + URL + "</body></html>\r\n"
  const Bytes head = {84, 0, 0, 0, 84, 0, 0, 0, 103, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(Bytes(record.begin(), record.begin() + 16), head);
  EXPECT_EQ(record[24], document);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 84)), "http://a.example/x");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 103)), local);
  EXPECT_EQ(record[size], 0xEE);

  size = 0;
  EXPECT_EQ(cache.FindNextUrlCacheEntryA(search, {}, size), platform::ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(size, 0u);
  EXPECT_TRUE(cache.FindCloseUrlCache(search));
  EXPECT_EQ(cache.FindNextUrlCacheEntryA(search, {}, size), platform::ERROR_INVALID_HANDLE);

  EXPECT_TRUE(cache.DeleteUrlCacheEntryA("http://a.example/x"));
  EXPECT_FALSE(cache.DeleteUrlCacheEntryA("http://a.example/x"));
  size = 0;
  EXPECT_EQ(cache.FindFirstUrlCacheEntryA(std::nullopt, {}, size, search),
            platform::ERROR_NO_MORE_ITEMS);
}

}  // namespace
}  // namespace nimbra::sim
