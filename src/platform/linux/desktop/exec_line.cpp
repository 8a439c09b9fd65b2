// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/exec_line.h"

namespace nimbra::lnx {

namespace {

std::string unescape_string_value(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (const char next = value[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\';
        out += next;
    }
  }
  return out;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool quotable(char c) {
  return c == '"' || c == '`' || c == '$' || c == '\\';
}

}  // namespace

std::optional<std::vector<std::string>> split_exec_line(std::string_view exec) {
  const std::string text = unescape_string_value(exec);
  std::vector<std::string> args;
  std::string current;
  bool in_argument = false;  // something besides field codes was seen: keep even when empty
  bool in_quotes = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_quotes) {
      if (c == '"') {
        in_quotes = false;
      } else if (c == '\\' && i + 1 < text.size() && quotable(text[i + 1])) {
        current += text[++i];
      } else if (c == '%' && i + 1 < text.size()) {
        if (text[++i] == '%') current += '%';
      } else {
        current += c;
      }
    } else if (is_blank(c)) {
      if (in_argument || !current.empty()) args.push_back(std::move(current));
      current.clear();
      in_argument = false;
    } else if (c == '"') {
      in_quotes = true;
      in_argument = true;
    } else if (c == '%' && i + 1 < text.size()) {
      if (text[++i] == '%') {
        current += '%';
        in_argument = true;
      }
    } else {
      current += c;
      in_argument = true;
    }
  }
  if (in_quotes) return std::nullopt;
  if (in_argument || !current.empty()) args.push_back(std::move(current));
  return args;
}

}  // namespace nimbra::lnx
