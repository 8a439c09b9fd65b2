// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nimbra::shell {

// `s` with every occurrence of `org` replaced by `rep`, left to right, exact case; the search
// resumes after each inserted `rep`, so replaced text is never searched again. An empty `org`
// replaces nothing.
std::string RepStr(std::string_view s, std::string_view org, std::string_view rep);

}  // namespace nimbra::shell
