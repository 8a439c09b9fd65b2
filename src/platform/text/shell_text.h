// SPDX-License-Identifier: MIT
// Text rules the shell implementations share.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace nimbra::platform {

// True when a ShellExecuteA verb asks for the default action: none, empty, or "open".
bool is_open_verb(std::optional<std::string_view> verb);

// True when `text` starts with a URL scheme ("http:", "mailto:"); a drive letter ("C:") is none.
bool is_url(std::string_view text);

// The extension of the path's last component with its dot (".html"), or empty.
std::string_view file_extension(std::string_view path);

// The document a shell call names: `file` itself when it is absolute ("C:\x", "\x"), else
// `file` in `directory` when one is given.
std::string document_path(std::string_view file, std::optional<std::string_view> directory);

// Copies `text` and a NUL into `out`; false, with `out` untouched, when they do not fit.
bool copy_with_nul(std::string_view text, std::span<char> out);

}  // namespace nimbra::platform
