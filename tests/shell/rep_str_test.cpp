// SPDX-License-Identifier: MIT
#include "shell/catalogue/rep_str.h"

#include <gtest/gtest.h>

namespace nimbra::shell {
namespace {

// Replacement runs left to right, is case-sensitive and never searches text it inserted.
TEST(RepStr, ReplacesWithoutRescanning) {
  struct Row {
    std::string_view s, org, rep, expected;
  };
  const Row rows[] = {
      {"a,b,c", ",", ";", "a;b;c"},
      {"aaa", "a", "aa", "aaaaaa"},  // inserted "aa" is not searched again
      {"abab", "ab", "b", "bb"},     // "bb" does not become "b"
      {"aaaa", "aa", "a", "aa"},     // resumes after each match
      {"Hello hello", "hello", "bye", "Hello bye"},
      {"xyz", "q", "r", "xyz"},
      {"", "a", "b", ""},
      {"\r\n", "\r", "", "\n"},
  };
  for (const auto& r : rows) EXPECT_EQ(RepStr(r.s, r.org, r.rep), r.expected) << r.s;
}

}  // namespace
}  // namespace nimbra::shell
