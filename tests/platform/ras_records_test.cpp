#include "platform/ras_records.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/bytes.h"

namespace nimbra::platform {
namespace {

using Bytes = std::vector<uint8_t>;

// The device-name field is 33 bytes wide only in records of the legacy 1672-byte size.
TEST(EntryRecord, DeviceNameWidthFollowsRecordSize) {
  const std::pair<uint32_t, size_t> rows[] = {
      {entry_record::kSizeLegacy, 33},
      {entry_record::kSize9x, 129},
      {entry_record::kSize2000, 129},
      {entry_record::kSizeXp, 129},
      {1672, 33},
      {1768, 129},
      {2884, 129},
  };
  for (const auto& [size, width] : rows) {
    EXPECT_EQ(entry_record::device_name_width(size), width) << size;
  }
}

// Each text field of both layouts lies inside the record, after the size field, without
// overlapping the next one.
TEST(DialParamsLayout, FieldsFollowEachOtherInsideTheRecord) {
  for (const DialParamsLayout& l : {kDialParamsNT, kDialParams9x}) {
    const std::pair<size_t, size_t> fields[] = {
        {l.entry_name, l.entry_name_width},
        {l.phone_number, l.phone_number_width},
        {l.callback_number, l.callback_number_width},
        {l.user_name, l.user_name_width},
        {l.password, l.password_width},
        {l.domain, l.domain_width},
    };
    size_t end = 4;
    for (const auto& [offset, width] : fields) {
      EXPECT_GE(offset, end) << l.size;
      end = offset + width;
    }
    EXPECT_LE(end, l.size);
  }
}

// Writing puts each text NUL-terminated at its field, cut to fit, and touches no other byte;
// reading gives back what fits.
TEST(DialParams, WriteTouchesOnlyTheTextsAndReadsBack) {
  const DialParams params{std::string(300, 'E'), "##61", "cb", "user", "pw", std::string(20, 'D')};
  for (const DialParamsLayout& l : {kDialParamsNT, kDialParams9x}) {
    Bytes record(l.size, 0xAA);
    write_dial_params(record, l, params);
    EXPECT_EQ(bytes::get_u32(record, 0), 0xAAAAAAAAu);
    EXPECT_EQ(record[l.entry_name + l.entry_name_width - 1], 0);
    EXPECT_EQ(bytes::get_field(record, l.user_name, 6), std::string("user\0\xAA", 6));
    EXPECT_EQ(record[l.domain + l.domain_width], 0xAA);
    const DialParams expected{
        std::string(l.entry_name_width - 1, 'E'), "##61", "cb", "user", "pw", std::string(15, 'D')};
    EXPECT_EQ(read_dial_params(record, l), expected) << l.size;
  }
}

// A record shorter than its layout is neither written nor read.
TEST(DialParams, ShortRecordsAreLeftAlone) {
  Bytes record(kDialParamsNT.size - 1, 'x');
  write_dial_params(record, kDialParamsNT, {"E", "1", "", "u", "p", "d"});
  EXPECT_EQ(record, Bytes(kDialParamsNT.size - 1, 'x'));
  EXPECT_EQ(read_dial_params(record, kDialParamsNT), DialParams{});
}

// The connection records hold their texts inside the record, the NT one with the name only.
TEST(ConnectionLayout, FieldsFitTheRecord) {
  for (const ConnectionLayout& l : {kConnections9x, kConnectionsNT}) {
    EXPECT_EQ(l.handle + 4, l.entry_name) << l.size;
    EXPECT_LE(l.entry_name + l.entry_name_width, l.size);
    if (l.device_type_width == 0) continue;
    EXPECT_EQ(l.entry_name + l.entry_name_width, l.device_type);
    EXPECT_EQ(l.device_type + l.device_type_width, l.device_name);
    EXPECT_LE(l.device_name + l.device_name_width, l.size);
  }
}

}  // namespace
}  // namespace nimbra::platform
