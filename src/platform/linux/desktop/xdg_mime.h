// SPDX-License-Identifier: MIT
// The MIME type of a file name, from the shared MIME database's glob lists.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace nimbra::lnx {

// Looks the name up in `mime_dirs` (most important first; each holding globs2 or else globs):
// the first directory with a matching "*.ext" glob decides, by weight and then by the longer
// glob. Without a match, a built-in table knows .html/.htm, .msg and .eml.
std::optional<std::string> mime_type_of(std::string_view file_name,
                                        std::span<const std::filesystem::path> mime_dirs);

}  // namespace nimbra::lnx
