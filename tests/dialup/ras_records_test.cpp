// SPDX-License-Identifier: MIT
#include "dialup/session/ras_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialup/session/device_acceptance.h"

namespace nimbra::dialup {
namespace {

using Bytes = std::vector<uint8_t>;
using platform::ConnectionLayout;
using platform::DialParams;
using platform::DialParamsLayout;
using platform::kConnections9x;
using platform::kConnectionsNT;
using platform::kDialParams9x;
using platform::kDialParamsNT;
using platform::read_dial_params;

void put(Bytes& b, size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), b.begin() + static_cast<ptrdiff_t>(at));
}

Bytes le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

// Both dial-parameter layouts put each text at its own offset, NUL-terminated, zero elsewhere,
// and read back what they wrote.
TEST(DialParams, BothLayoutsByteForByte) {
  const DialParams params{"KVAUTODL", "##610570000300", "", "user", "pw", "dom"};
  struct Row {
    const DialParamsLayout& layout;
    uint32_t size;
    size_t phone, user, password, domain;
    Bytes size_field;
  };
  const Row rows[] = {
      {kDialParamsNT, 736, 25, 203, 460, 717, {0xE0, 0x02, 0, 0}},
      {kDialParams9x, 1052, 261, 519, 776, 1033, {0x1C, 0x04, 0, 0}},
  };
  for (const Row& r : rows) {
    Bytes expected(r.size, 0);
    put(expected, 0, std::string(r.size_field.begin(), r.size_field.end()));
    put(expected, 4, "KVAUTODL");
    put(expected, r.phone, "##610570000300");
    put(expected, r.user, "user");
    put(expected, r.password, "pw");
    put(expected, r.domain, "dom");
    const Bytes built = build_dial_params(r.layout, params);
    EXPECT_EQ(built, expected) << r.size;
    const DialParams back = read_dial_params(built, r.layout);
    EXPECT_EQ(back.phone_number, "##610570000300");
    EXPECT_EQ(back.domain, "dom");
  }
}

// A text longer than its field is cut so that its NUL fits, and never spills into the next.
TEST(DialParams, LongTextsAreCutAtTheirField) {
  DialParams params;
  params.entry_name = std::string(30, 'E');
  params.domain = std::string(40, 'D');
  const Bytes nt = build_dial_params(kDialParamsNT, params);
  EXPECT_EQ(read_dial_params(nt, kDialParamsNT).entry_name, std::string(20, 'E'));
  EXPECT_EQ(nt[24], 0);
  EXPECT_EQ(read_dial_params(nt, kDialParamsNT).domain, std::string(15, 'D'));
  EXPECT_EQ(nt[732], 0);
  EXPECT_EQ(read_dial_params(build_dial_params(kDialParams9x, params), kDialParams9x).entry_name,
            std::string(30, 'E'));
  // A record shorter than its layout reads as empty.
  EXPECT_EQ(read_dial_params(Bytes(100, 'x'), kDialParamsNT).user_name, "");
}

// The entry record of every size the program writes holds exactly the provisioned fields.
TEST(EntryRecord, ProvisionedFieldsAtEverySize) {
  for (const uint32_t size : {1768u, 2088u, 2884u}) {
    Bytes expected(size, 0);
    put(expected, 0, std::string(reinterpret_cast<const char*>(le32(size).data()), 4));
    put(expected, 4, std::string("\x30\x01\x20\x05", 4));
    put(expected, 16, "03");
    put(expected, 27, "0570000300");
    expected[184] = 4;
    expected[188] = 1;
    put(expected, 972, "modem");
    put(expected, 989, "ARLEN DENSHI CO.,LTD. KVT30-J");
    EXPECT_EQ(build_entry_record(size, "0570000300", "ARLEN DENSHI CO.,LTD. KVT30-J"), expected)
        << size;
  }
  // NT 3.x never sets a size: the record stays as empty as its size.
  EXPECT_TRUE(build_entry_record(0, "0570000300", "x").empty());
  EXPECT_EQ(build_entry_record(100, "0570000300", "x"), Bytes(100, 0));
}

// Connection records are read at the platform's record size, as many as the count names and
// the buffer holds.
TEST(Connections, BothLayouts) {
  struct Row {
    const ConnectionLayout& layout;
    uint32_t record_size;
    size_t name_width;
  };
  for (const Row& r : {Row{kConnections9x, 412, 257}, Row{kConnectionsNT, 32, 21}}) {
    ConnectionStorage storage;
    storage.fill(0xAA);
    const auto prepared = connection_buffer(r.layout, storage);
    Bytes buffer(prepared.begin(), prepared.end());
    ASSERT_EQ(buffer.size(), 2 * r.record_size);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), le32(r.record_size));
    EXPECT_EQ(Bytes(buffer.begin() + 4, buffer.end()), Bytes(buffer.size() - 4, 0));
    put(buffer, 4, std::string("\x11\x22\x00\x00", 4));
    put(buffer, 8, "ISP1");
    put(buffer, r.record_size,
        std::string(reinterpret_cast<const char*>(le32(r.record_size).data()), 4));
    put(buffer, r.record_size + 4, std::string("\x05\x00\x00\x00", 4));
    // A name that fills its field without a NUL is read to the field's end.
    put(buffer, r.record_size + 8, std::string(r.name_width, 'K'));
    const auto records = parse_connections(r.layout, buffer, 2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].handle, 0x2211u);
    EXPECT_EQ(records[0].entry_name, "ISP1");
    EXPECT_EQ(records[1].handle, 5u);
    EXPECT_EQ(records[1].entry_name, std::string(r.name_width, 'K'));
    EXPECT_EQ(parse_connections(r.layout, buffer, 1).size(), 1u);
    EXPECT_EQ(parse_connections(r.layout, buffer, 7).size(), 2u);
    EXPECT_EQ(parse_connections(r.layout, std::span(buffer).first(r.record_size + 3), 2).size(),
              1u);
  }
}

// Data cards must match a catalogue name exactly; on NT a USB row's name may carry an instance
// suffix; on 9x nothing but an exact name passes.
TEST(DeviceAcceptance, ByFamilyAndRow) {
  struct Row {
    const char* name;
    bool nt, accepted;
  };
  const Row rows[] = {
      {"ARLEN DENSHI CO.,LTD. KVT30-J", false, true},
      {"Arlen Denshi CO.,LTD. KVT30-J", true, false},
      {"ARLEN DENSHI CO.,LTD. KVT30-J #2", true, false},
      {"Q-R DATA UCA2-PCX #2", true, true},
      {"Q-R DATA UCA2-PCX #2", false, false},
      {"Q-R DATA UCA2-PCXG", false, true},
      {"MORELL Glider U #3", true, true},
      {"Standard 56000 bps Modem", true, false},
      {"", true, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(device_accepted(r.name, r.nt), r.accepted) << r.name << (r.nt ? " NT" : " 9x");
  }
}

}  // namespace
}  // namespace nimbra::dialup
