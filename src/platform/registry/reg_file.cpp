// SPDX-License-Identifier: MIT
#include "platform/registry/reg_file.h"

#include <algorithm>
#include <optional>
#include <span>
#include <utility>

#include "platform/text/utf16.h"

namespace nimbra::platform {

namespace {

constexpr std::string_view kHeaderUnicode = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderAnsi = "REGEDIT4";
constexpr std::string_view kLineEnd = "\r\n";
// Hex lists wrap like the registry editor's: no line longer than this, continuation lines
// indented by two spaces.
constexpr size_t kHexLineWidth = 80;
constexpr std::string_view kHexIndent = "  ";

struct Failure {
  size_t line;
  std::string message;
};

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trim_left(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view trim_right(std::string_view s) {
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

bool starts_with_folded(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
           return p == (t >= 'A' && t <= 'Z' ? static_cast<char>(t - 'A' + 'a') : t);
         });
}

std::optional<uint32_t> hex_digit(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
  return std::nullopt;
}

// A number of 1 to `max_digits` hex digits; nothing when the text is not one.
std::optional<uint32_t> parse_hex(std::string_view digits, size_t max_digits) {
  if (digits.empty() || digits.size() > max_digits) return std::nullopt;
  uint32_t number = 0;
  for (const char c : digits) {
    const auto digit = hex_digit(c);
    if (!digit) return std::nullopt;
    number = (number << 4) | *digit;
  }
  return number;
}

bool all_hex(std::string_view digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) { return hex_digit(c).has_value(); });
}

std::string bytes_to_string(std::span<const uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// UTF-16LE files become UTF-8 text; a UTF-8 byte-order mark is dropped.
std::string decode_file(std::string_view bytes) {
  if (bytes.size() > kMaxRegFileSize) {
    throw Failure{0, "file larger than " + std::to_string(kMaxRegFileSize >> 20) + " MiB"};
  }
  if (bytes.starts_with("\xFE\xFF")) throw Failure{0, "UTF-16 big-endian files are not supported"};
  if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  if (!bytes.starts_with("\xFF\xFE")) return std::string(bytes);
  const auto body = std::span(reinterpret_cast<const uint8_t*>(bytes.data()) + 2, bytes.size() - 2);
  if (body.size() % 2 != 0) throw Failure{0, "UTF-16 file with an odd number of bytes"};
  // Line by line, so that a bad sequence can be reported with its line; a surrogate pair never
  // spans a line end.
  std::string text;
  text.reserve(body.size() / 2);
  size_t line = 1;
  size_t start = 0;
  for (size_t i = 0; i <= body.size(); i += 2) {
    const bool line_end = i < body.size() && body[i] == '\n' && body[i + 1] == 0;
    if (!line_end && i < body.size()) continue;
    const auto piece = utf16le_to_utf8(body.subspan(start, i - start));
    if (!piece) throw Failure{line, "text is not valid UTF-16"};
    text += *piece;
    if (line_end) text += '\n';
    ++line;
    start = i + 2;
  }
  return text;
}

class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}

  // The next line without its line end; nothing after the last one.
  std::optional<std::string_view> next() {
    if (pos_ >= text_.size()) return std::nullopt;
    ++number_;
    const size_t end = std::min(text_.find('\n', pos_), text_.size());
    std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.size() > kMaxRegLineLength) throw Failure{number_, "line too long"};
    if (!is_valid_utf8(line)) throw Failure{number_, "text is not valid UTF-8"};
    return line;
  }

  size_t number() const { return number_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  size_t number_ = 0;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : lines_(text) {}

  RegistryStore run() {
    const auto header = lines_.next();
    line_ = 1;
    const std::string_view first = header ? trim_right(*header) : std::string_view();
    if (first == kHeaderUnicode) {
      utf16_text_ = true;
    } else if (first == kHeaderAnsi) {
      utf16_text_ = false;
    } else {
      fail("not a registry file: the first line must be \"" + std::string(kHeaderUnicode) +
           "\" or \"" + std::string(kHeaderAnsi) + "\"");
    }
    while (const auto line = lines_.next()) {
      line_ = lines_.number();
      const std::string_view text = trim_right(trim_left(*line));
      if (text.empty() || text.front() == ';') continue;
      if (text.front() == '[') {
        key_line(text);
      } else if (text.front() == '"' || text.front() == '@') {
        value_line(text);
      } else {
        fail("expected [key], \"name\"=value, @=value or a ; comment");
      }
    }
    return std::move(store_);
  }

 private:
  [[noreturn]] void fail(std::string message) const { throw Failure{line_, std::move(message)}; }

  void key_line(std::string_view text) {
    // The path ends at the last ']', so that key names may hold ']'.
    const size_t close = text.rfind(']');
    if (close == std::string_view::npos) fail("key line without a closing ]");
    if (close + 1 != text.size()) fail("text after the closing ] of a key line");
    std::string_view path = text.substr(1, close - 1);
    const bool deletion = path.starts_with('-');
    if (deletion) path.remove_prefix(1);
    const std::string error = RegistryStore::key_path_error(path);
    if (!error.empty()) fail(error);
    if (deletion) {
      // A root is the only key that exists and cannot be deleted.
      if (store_.key_exists(path) && !store_.delete_key(path)) fail("a root key cannot be deleted");
      current_key_.reset();
    } else {
      store_.create_key(path);
      current_key_ = std::string(path);
    }
  }

  void value_line(std::string_view text) {
    if (!current_key_) fail("value line outside a key");
    std::string name;
    size_t pos = 1;
    if (text.front() == '"') name = quoted(text, pos);
    while (pos < text.size() && is_blank(text[pos])) ++pos;
    if (pos == text.size() || text[pos] != '=') fail("expected = after the value name");
    const std::string_view data = trim_left(text.substr(pos + 1));
    if (data == "-") {
      store_.delete_value(*current_key_, name);
      return;
    }
    RegValue value = parse_data(data);
    const std::string error = RegistryStore::value_error(name, value);
    if (!error.empty()) fail(error);
    store_.set_value(*current_key_, name, std::move(value));
  }

  // The text of a quoted string whose opening quote is before `pos`; `pos` ends past the
  // closing quote. Only \\ and \" are escapes.
  std::string quoted(std::string_view text, size_t& pos) const {
    std::string out;
    while (pos < text.size()) {
      const char c = text[pos++];
      if (c == '"') return out;
      if (c == '\\') {
        if (pos == text.size() || (text[pos] != '\\' && text[pos] != '"')) {
          fail("unknown escape in quoted text (only \\\\ and \\\" are escapes)");
        }
        out += text[pos++];
      } else {
        out += c;
      }
    }
    fail("unterminated quoted text");
  }

  RegValue parse_data(std::string_view data) {
    if (data.starts_with('"')) {
      size_t pos = 1;
      const std::string text = quoted(data, pos);
      if (pos != data.size()) fail("text after the closing quote");
      return RegValue{REG_SZ, std::vector<uint8_t>(text.begin(), text.end())};
    }
    if (starts_with_folded(data, "dword:")) return dword(data.substr(6));
    uint32_t type = REG_BINARY;
    std::string_view list;
    if (starts_with_folded(data, "hex:")) {
      list = data.substr(4);
    } else if (starts_with_folded(data, "hex(")) {
      const size_t close = data.find("):");
      if (close == std::string_view::npos) fail("expected hex(type):");
      const std::string_view digits = data.substr(4, close - 4);
      const auto number = parse_hex(digits, 8);
      if (!number) fail(all_hex(digits) ? "value type out of range" : "bad value type");
      type = *number;
      list = data.substr(close + 2);
    } else {
      fail("expected \"text\", dword:, hex: or hex(type): value data");
    }
    return typed_value(type, hex_list(list));
  }

  RegValue dword(std::string_view digits) const {
    const auto number = parse_hex(digits, 8);
    if (!number)
      fail(all_hex(digits) && !digits.empty() ? "dword value out of range" : "bad dword value");
    RegValue value{REG_DWORD, std::vector<uint8_t>(4)};
    for (size_t i = 0; i < 4; ++i) value.data[i] = static_cast<uint8_t>(*number >> (8 * i));
    return value;
  }

  // Comma-separated bytes; a trailing backslash continues the list on the next line.
  std::vector<uint8_t> hex_list(std::string_view first) {
    std::string joined;
    std::string_view piece = trim_right(first);
    while (piece.ends_with('\\')) {
      joined += piece.substr(0, piece.size() - 1);
      if (joined.size() > kMaxRegLineLength) fail("hex list too long");
      const auto next = lines_.next();
      if (!next) fail("hex list continues past the end of the file");
      piece = trim_right(trim_left(*next));
    }
    joined += piece;
    std::vector<uint8_t> bytes;
    if (trim_left(joined).empty()) return bytes;
    bytes.reserve(joined.size() / 3 + 1);
    size_t pos = 0;
    for (;;) {
      const size_t comma = std::min(joined.find(',', pos), joined.size());
      const std::string_view item =
          trim_right(trim_left(std::string_view(joined).substr(pos, comma - pos)));
      const auto byte = parse_hex(item, 2);
      if (!byte) fail("bad hex byte in item " + std::to_string(bytes.size() + 1));
      bytes.push_back(static_cast<uint8_t>(*byte));
      if (comma == joined.size()) return bytes;
      pos = comma + 1;
    }
  }

  // Text types hold UTF-16LE in version 5.00 and single-byte text in REGEDIT4 files; the store
  // keeps UTF-8 without the terminator (REG_MULTI_SZ keeps its layout of NULs).
  RegValue typed_value(uint32_t type, std::vector<uint8_t> bytes) const {
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
      return RegValue{type, std::move(bytes)};
    }
    std::string text;
    if (utf16_text_) {
      auto decoded = utf16le_to_utf8(bytes);
      if (!decoded) fail("text value is not valid UTF-16");
      text = std::move(*decoded);
    } else {
      text = bytes_to_string(bytes);
      if (!is_valid_utf8(text)) fail("text value is not valid UTF-8");
    }
    if (type != REG_MULTI_SZ && text.ends_with('\0')) text.pop_back();
    return RegValue{type, std::vector<uint8_t>(text.begin(), text.end())};
  }

  Lines lines_;
  size_t line_ = 0;
  bool utf16_text_ = true;
  RegistryStore store_;
  std::optional<std::string> current_key_;
};

void append_quoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

void append_hex(std::string& out, std::string_view line_start, std::span<const uint8_t> bytes) {
  constexpr char kDigits[] = "0123456789abcdef";
  out += line_start;
  size_t column = line_start.size();
  for (size_t i = 0; i < bytes.size(); ++i) {
    const size_t piece = i + 1 < bytes.size() ? 3 : 2;
    if (column + piece + 1 > kHexLineWidth && column > kHexIndent.size()) {
      out += '\\';
      out += kLineEnd;
      out += kHexIndent;
      column = kHexIndent.size();
    }
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0xF];
    if (piece == 3) out += ',';
    column += piece;
  }
  out += kLineEnd;
}

std::string hex_type_prefix(std::string_view name_part, uint32_t type) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[type & 0xF]);
    type >>= 4;
  } while (type != 0);
  return std::string(name_part) + "hex(" + digits + "):";
}

bool has_control_character(std::span<const uint8_t> text) {
  return std::any_of(text.begin(), text.end(), [](uint8_t c) { return c < 0x20; });
}

void append_value(std::string& out, const NamedRegValue& named) {
  std::string name_part;
  if (named.name.empty()) {
    name_part = "@";
  } else {
    append_quoted(name_part, named.name);
  }
  name_part += '=';
  const RegValue& value = named.value;
  const std::string text = bytes_to_string(value.data);
  if (value.type == REG_SZ && !has_control_character(value.data)) {
    out += name_part;
    append_quoted(out, text);
    out += kLineEnd;
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += name_part + "dword:";
    for (size_t i = 4; i-- > 0;) {
      out += kDigits[value.data[i] >> 4];
      out += kDigits[value.data[i] & 0xF];
    }
    out += kLineEnd;
  } else if (value.type == REG_BINARY) {
    append_hex(out, name_part + "hex:", value.data);
  } else if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
    // With its terminator, as the registry holds it; text with line ends or NULs cannot be
    // written in quotes.
    std::vector<uint8_t> utf16 = utf8_to_utf16le(text);
    utf16.insert(utf16.end(), {0, 0});
    append_hex(out, hex_type_prefix(name_part, value.type), utf16);
  } else if (value.type == REG_MULTI_SZ) {
    append_hex(out, hex_type_prefix(name_part, value.type), utf8_to_utf16le(text));
  } else {
    append_hex(out, hex_type_prefix(name_part, value.type), value.data);
  }
}

}  // namespace

std::string RegParseError::describe() const {
  return line == 0 ? message : "line " + std::to_string(line) + ": " + message;
}

RegParseResult parse_reg_file(std::string_view bytes) {
  try {
    const std::string text = decode_file(bytes);
    return RegParseResult{Parser(text).run()};
  } catch (const Failure& failure) {
    return RegParseResult{RegParseError{failure.line, failure.message}};
  }
}

std::string format_reg_file(const RegistryStore& store) {
  std::string out(kHeaderUnicode);
  out += kLineEnd;
  store.for_each_key([&](std::string_view path, std::span<const NamedRegValue> values) {
    const bool is_root = path.find('\\') == std::string_view::npos;
    if (is_root && values.empty()) return;
    out += kLineEnd;
    out += '[';
    out += path;
    out += ']';
    out += kLineEnd;
    for (const NamedRegValue& value : values) append_value(out, value);
  });
  out += kLineEnd;
  return out;
}

}  // namespace nimbra::platform
