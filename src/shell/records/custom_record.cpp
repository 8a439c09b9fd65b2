// SPDX-License-Identifier: MIT
#include "shell/records/custom_record.h"

#include <algorithm>
#include <string_view>

#include "platform/text/bytes.h"

namespace nimbra::shell {

CustomRecord decode_custom(std::span<const uint8_t, CustomRecord::kSize> image) {
  const std::span<const uint8_t> b = image;
  CustomRecord r;
  for (const CustomNumberField& f : kCustomNumberFields) r.*f.member = bytes::get_i32(b, f.offset);
  for (const CustomTextField& f : kCustomTextFields) {
    r.*f.member = bytes::get_field(b, f.offset, f.width);
  }
  return r;
}

const CustomTextField& custom_text_field(std::string CustomRecord::*member) {
  return *std::find_if(kCustomTextFields.begin(), kCustomTextFields.end(),
                       [member](const CustomTextField& f) { return f.member == member; });
}

std::optional<std::string> custom_text_shown(const CustomRecord& record,
                                             const CustomTextField& field,
                                             platform::CodePage page) {
  const std::string_view text = record.*field.member;
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(' ');
  const std::string decoded = platform::from_ansi(text.substr(first, last - first + 1), page);
  // Characters, not bytes: a Japanese character is one character of the decoded text.
  const size_t characters =
      static_cast<size_t>(std::count_if(decoded.begin(), decoded.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
      }));
  if (characters < field.min_length) return std::nullopt;
  return decoded.substr(0, decoded.find('\0'));
}

std::array<uint8_t, CustomRecord::kSize> encode_custom(const CustomRecord& record) {
  std::array<uint8_t, CustomRecord::kSize> image{};
  const std::span<uint8_t> b = image;
  for (const CustomNumberField& f : kCustomNumberFields) {
    bytes::put_i32(b, f.offset, record.*f.member);
  }
  for (const CustomTextField& f : kCustomTextFields) {
    const std::string& text = record.*f.member;
    const size_t n = std::min(text.size(), f.width);
    std::copy_n(text.begin(), n, image.begin() + static_cast<std::ptrdiff_t>(f.offset));
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(f.offset + n), f.width - n,
                uint8_t{' '});
  }
  return image;
}

}  // namespace nimbra::shell
