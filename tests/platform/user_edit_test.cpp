// SPDX-License-Identifier: MIT
// What a text box with a maximum length keeps of a user's edit.
#include "platform/controls/user_edit.h"

#include <gtest/gtest.h>

namespace nimbra::platform {
namespace {

// An edit that fits or shortens the text stays; a longer one keeps the text around the change
// and as many inserted characters (not bytes) as the room left takes.
TEST(UserEdit, LongerEditsAreCutToTheRoomLeft) {
  struct Row {
    const char* before;
    const char* edited;
    int max_length;
    const char* kept;
  };
  const Row rows[] = {
      {"", "12345678", 4, "1234"},
      {"", "1234567", 6, "123456"},
      {"ab", "a123456b", 4, "a12b"},
      {"ab", "ab1234", 0, "ab1234"},
      {"abc", "abc", 3, "abc"},
      {"abcd", "abcdx", 4, "abcd"},
      {"longer", "longerx", 3, "longer"},
      {"longer", "longe", 3, "longe"},
      {"", "ダイヤル", 3, "ダイヤ"},
      {"aé", "aéüö", 3, "aéü"},
      {"1500", "99", 4, "99"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(fit_user_edit(r.before, r.edited, r.max_length), r.kept)
        << r.before << " -> " << r.edited;
  }
}

}  // namespace
}  // namespace nimbra::platform
