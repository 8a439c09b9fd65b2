// SPDX-License-Identifier: MIT
#include "platform/text/shell_text.h"

#include "platform/text/ini_file.h"

#include <algorithm>
#include <cctype>

namespace nimbra::platform {

bool is_open_verb(std::optional<std::string_view> verb) {
  return !verb || verb->empty() || iequals(*verb, "open");
}

bool is_url(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;
  if (!std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  return std::all_of(
      text.begin() + 1, text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
      });
}

std::string_view file_extension(std::string_view path) {
  const size_t separator = path.find_last_of("\\/");
  const std::string_view name =
      separator == std::string_view::npos ? path : path.substr(separator + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string document_path(std::string_view file, std::optional<std::string_view> directory) {
  const bool absolute = (file.size() >= 2 && file[1] == ':') ||
                        (!file.empty() && (file.front() == '\\' || file.front() == '/'));
  if (absolute || !directory || directory->empty()) return std::string(file);
  std::string path(*directory);
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  return path + std::string(file);
}

bool copy_with_nul(std::string_view text, std::span<char> out) {
  if (text.size() >= out.size()) return false;
  std::copy(text.begin(), text.end(), out.begin());
  out[text.size()] = '\0';
  return true;
}

}  // namespace nimbra::platform
