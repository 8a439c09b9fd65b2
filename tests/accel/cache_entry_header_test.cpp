// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "accel/cache_deletion.h"

namespace nimbra::accel {
namespace {

// The source URL is read only where the header's reference lands among the record's texts, up
// to the NUL or the record's end; no reference, or one outside, gives none.
TEST(CacheEntryHeader, SourceUrlStaysInsideTheRecord) {
  const auto record_with = [](uint32_t reference, std::string tail) {
    std::vector<uint8_t> record(84 + tail.size(), 0);
    record[0] = 84;
    for (int i = 0; i < 4; ++i) record[4 + i] = static_cast<uint8_t>(reference >> (8 * i));
    std::copy(tail.begin(), tail.end(), record.begin() + 84);
    return record;
  };
  struct Row {
    uint32_t reference;
    std::string tail;
    std::optional<std::string> url;
  };
  const Row rows[] = {
      {84, std::string("http://a/\0C:\\x", 14), "http://a/"},
      {84, "http://unterminated", "http://unterminated"},
      {0, "http://a/", std::nullopt},
      {40, "http://a/", std::nullopt},
      {93, "http://a/", std::nullopt},
      {0xFFFFFFF0u, "http://a/", std::nullopt},
  };
  for (const Row& row : rows) {
    const auto record = record_with(row.reference, row.tail);
    const CacheEntryHeader header = copy_entry_header(record);
    EXPECT_EQ(header.struct_size, 84u);
    EXPECT_EQ(source_url_of(header, record), row.url) << row.reference;
  }
  EXPECT_EQ(copy_entry_header(std::vector<uint8_t>(83, 1)).source_url, 0u);
}

}  // namespace
}  // namespace nimbra::accel
