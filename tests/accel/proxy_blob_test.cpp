// SPDX-License-Identifier: MIT
#include "accel/proxy_blob.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nimbra_test/test_machine.h"

namespace nimbra::accel {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes u32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

// The expected value spelled out field by field, independently of the code under test.
Bytes expected_value(uint32_t counter, const std::string& text, size_t length) {
  Bytes out;
  for (uint32_t field : {60u, counter, 3u, static_cast<uint32_t>(text.size())}) {
    const Bytes b = u32(field);
    out.insert(out.end(), b.begin(), b.end());
  }
  out.insert(out.end(), text.begin(), text.end());
  out.resize(length, 0);  // two zero length fields, then padding
  return out;
}

Bytes value_of(const shell::ProxyBlob& blob) {
  return Bytes(blob.value().begin(), blob.value().end());
}

class ProxyBlobs : public ::testing::Test {
 protected:
  test::TestMachine machine_;
  test::Program& program_ = machine_.start();
  shell::AppContext& app_ = *program_.app;
};

// The five values have their fixed heads, proxy texts and lengths.
TEST_F(ProxyBlobs, EveryValueByteForByte) {
  struct Row {
    const shell::ProxyBlob& blob;
    Bytes expected;
  };
  const Row rows[] = {
      {app_.ProxyBlobDrift, expected_value(0x3C04, "http=drift.accel.korvo-net.jp:32080", 82)},
      {app_.ProxyBlobBreeze, expected_value(1, "http=breeze.accel.korvo-net.jp:32080", 82)},
      {app_.ProxyBlobZephyr, expected_value(0x3C05, "http=zephyr.accel.korvo-net.jp:32080", 82)},
      {app_.ProxyBlobQPost, expected_value(2, "http=proxy.qpost.korvo-net.jp:4126", 82)},
      {app_.ProxyBlobNone, expected_value(2, "", 52)},
  };
  for (const Row& row : rows) EXPECT_EQ(value_of(row.blob), row.expected);
  // The first bytes of Drift, literally.
  const Bytes drift_head = {0x3C, 0, 0, 0, 0x04, 0x3C, 0, 0, 3, 0, 0, 0, 35, 0, 0, 0, 'h', 't'};
  EXPECT_EQ(Bytes(app_.ProxyBlobDrift.bytes.begin(), app_.ProxyBlobDrift.bytes.begin() + 18),
            drift_head);
}

// Values match when equal up to trailing zeros on either side, and not when any byte differs.
TEST_F(ProxyBlobs, BlobsDifferComparesAsIfPaddedWithZeros) {
  const Bytes none = value_of(app_.ProxyBlobNone);
  Bytes none_padded = none;
  none_padded.resize(120, 0);
  Bytes counter_only = value_of(app_.ProxyBlobBreeze);
  counter_only[4] = 2;
  Bytes trailing_garbage = none;
  trailing_garbage.push_back(1);
  struct Row {
    Bytes stored;
    const shell::ProxyBlob& blob;
    bool differ;
  };
  const Row rows[] = {
      {none, app_.ProxyBlobNone, false},
      {none_padded, app_.ProxyBlobNone, false},
      {Bytes(none.begin(), none.begin() + 16), app_.ProxyBlobNone, false},
      {trailing_garbage, app_.ProxyBlobNone, true},
      {counter_only, app_.ProxyBlobBreeze, true},
      {value_of(app_.ProxyBlobQPost), app_.ProxyBlobNone, true},
      {{}, app_.ProxyBlobDrift, true},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(BlobsDiffer(rows[i].stored, rows[i].blob.value()), rows[i].differ) << "row " << i;
  }
}

}  // namespace
}  // namespace nimbra::accel
