// SPDX-License-Identifier: MIT
// What a text box keeps of an edit by the user when it holds a limited number of characters.
#pragma once

#include <string>
#include <string_view>

namespace nimbra::platform {

// The text a box that holds at most `max_length` characters (0: no limit) keeps when the user's
// edit turns `before` into `edited` (UTF-8): the edit as it is while it fits or shortens the
// text; else the characters it inserted cut to the room left beside the rest, so a paste fills
// the box and a key typed into a full box changes nothing.
std::string fit_user_edit(std::string_view before, std::string_view edited, int max_length);

}  // namespace nimbra::platform
