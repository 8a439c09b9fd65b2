// SPDX-License-Identifier: MIT
#include "diag/reply_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nimbra::diag {
namespace {

struct LineCase {
  std::string_view reply;
  std::string_view line;
};

// The value line is the one two lines before the first "OK"; anything else gives empty text.
TEST(ExtractReplyLine, TakesTheLineTwoBeforeTheFirstOk) {
  const LineCase cases[] = {
      {"\r\nKVT30-J\r\n\r\nOK\r\n", "KVT30-J"},
      {"ATI4\r\r\nKVT30-J\r\n\r\nOK\r\n", "KVT30-J"},  // echo on
      {"\r\nERROR\r\n", ""},
      {"\r\nOK\r\n", ""},                               // OK is the second piece
      {"\r\nA\r\n\r\nOK\r\n\r\nB\r\n\r\nOK\r\n", "A"},  // the first OK counts
      {"", ""},
      {"\r\nKVT30-J\r\n\r\nok\r\n", ""},  // case-sensitive
      {"\r\nKVT30-J\r\n\r\nOK", "KVT30-J"},
      {"07012345678\r\n\r\nOK\r\n", "07012345678"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractReplyLine(c.reply), c.line) << c.reply;
}

struct EchoCase {
  std::string_view reply;
  EchoRemoval form;
  std::string_view left;
};

// Both forms leave an echoed reply at the echoed carriage return; only the guarded form
// leaves a reply without the echo alone.
TEST(RemoveEcho, CutsTheCommandsLength) {
  const EchoCase cases[] = {
      {"AT@@LVL\r0003\r\n524", EchoRemoval::Guarded, "\r0003\r\n524"},
      {"AT@@LVL\r0003\r\n524", EchoRemoval::Unguarded, "\r0003\r\n524"},
      {"0003\r\n524\r\n", EchoRemoval::Guarded, "0003\r\n524\r\n"},
      {"0003\r\n524\r\n", EchoRemoval::Unguarded, "24\r\n"},
      {"AT@@LVL", EchoRemoval::Guarded, "AT@@LVL"},  // no carriage return: not the echo
      {"xxAT@@LVL\rabc", EchoRemoval::Guarded, "VL\rabc"},
      {"ABC", EchoRemoval::Unguarded, ""},
      {"", EchoRemoval::Unguarded, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RemoveEcho(c.reply, "AT@@LVL", c.form), c.left) << c.reply;
}

struct NumberCase {
  std::string_view text;
  double value;
};

// Blanks, tabs, line feeds and carriage returns are skipped anywhere; the number ends at the
// first character that cannot continue it.
TEST(NumericField, ReadsTheLeadingNumber) {
  const NumberCase cases[] = {
      {"00003", 3},   {"\r0003", 3},  // echo on: the field starts at the echoed CR
      {"\r\n000", 0}, {"ABC", 0},    {" 1 2\t3\n4", 1234}, {"12a3", 12},  {"- 7", -7},
      {"1.2.3", 1.2}, {"1E3", 1000}, {"1D2", 100},         {"1E+", 1},    {"E5", 0},
      {".5", 0.5},    {"--5", 0},    {"65\r", 65},         {"1e-400", 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(NumericField(c.text), c.value) << c.text;
  EXPECT_TRUE(std::isinf(NumericField("9E999")));
}

struct StoredCase {
  std::string_view text;
  int16_t as16;
  int32_t as32;
};

// Stored values are rounded half to even and held within their type's range.
TEST(NumericField, StoresRoundedAndLimited) {
  const StoredCase cases[] = {
      {"2.5", 2, 2},
      {"3.5", 4, 4},
      {"-2.5", -2, -2},
      {"40000", 32767, 40000},
      {"-40000", -32768, -40000},
      {"9E99", 32767, 2147483647},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumericField16(c.text), c.as16) << c.text;
    EXPECT_EQ(NumericField32(c.text), c.as32) << c.text;
  }
}

}  // namespace
}  // namespace nimbra::diag
