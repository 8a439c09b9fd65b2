// SPDX-License-Identifier: MIT
#include "platform/controls/user_edit.h"

#include <algorithm>

namespace nimbra::platform {

namespace {

bool continues_character(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

size_t characters(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(),
                                           [](char byte) { return !continues_character(byte); }));
}

// The longest run of whole characters that `text` can start with, keeping `count` of them.
size_t bytes_of_first(std::string_view text, size_t count) {
  size_t end = 0;
  for (size_t kept = 0; end < text.size() && kept < count; ++kept) {
    ++end;
    while (end < text.size() && continues_character(text[end])) ++end;
  }
  return end;
}

}  // namespace

std::string fit_user_edit(std::string_view before, std::string_view edited, int max_length) {
  const size_t edited_length = characters(edited);
  if (max_length <= 0 || edited_length <= static_cast<size_t>(max_length) ||
      edited_length < characters(before)) {
    return std::string(edited);
  }
  // The edit replaced the middle of `before`: what both share at the front and at the back
  // stays, on whole characters.
  size_t front = std::mismatch(before.begin(), before.end(), edited.begin(), edited.end()).first -
                 before.begin();
  while (front > 0 && front < edited.size() && continues_character(edited[front])) --front;
  size_t back = 0;
  while (back < before.size() - front && back < edited.size() - front &&
         before[before.size() - 1 - back] == edited[edited.size() - 1 - back]) {
    ++back;
  }
  while (back > 0 && continues_character(edited[edited.size() - back])) --back;
  const std::string_view kept_front = edited.substr(0, front);
  const std::string_view kept_back = edited.substr(edited.size() - back);
  const std::string_view inserted = edited.substr(front, edited.size() - front - back);
  const size_t kept = characters(kept_front) + characters(kept_back);
  const size_t room = static_cast<size_t>(max_length) > kept ? max_length - kept : 0;
  return std::string(kept_front) + std::string(inserted.substr(0, bytes_of_first(inserted, room))) +
         std::string(kept_back);
}

}  // namespace nimbra::platform
