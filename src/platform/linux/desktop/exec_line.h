// SPDX-License-Identifier: MIT
// The Exec line of a desktop entry, split into its arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::lnx {

// Splits an Exec value as read from the file: the string escapes (\s \n \t \r \\) first, then
// blanks between arguments, double-quoted arguments with \" \` \$ \\ inside, and the field codes
// (%f %F %u %U %i %c %k and the deprecated ones) dropped, "%%" kept as "%". An argument that
// held only field codes goes away. Nothing when a quote is left open.
std::optional<std::vector<std::string>> split_exec_line(std::string_view exec);

}  // namespace nimbra::lnx
