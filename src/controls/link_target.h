// SPDX-License-Identifier: MIT
// Link targets from the bare addresses a distributor's customisation file gives. Whatever the
// text holds, the result stays a "mailto:" URL to that one address or an "http://" URL: every
// character that could end the address or add to it (blanks, control characters, a query that
// adds mail headers or attachments, a second recipient) is percent-encoded.
#pragma once

#include <string>
#include <string_view>

namespace nimbra::controls {

std::string mailto_target(std::string_view address);
std::string http_target(std::string_view address);

}  // namespace nimbra::controls
