// SPDX-License-Identifier: MIT
#include "platform/text/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace nimbra::platform {

namespace {

const char* iconv_name(CodePage page) {
  return page == CodePage::Japanese ? "CP932" : "CP1252";
}

// Converts with iconv, replacing what cannot be converted by `replacement` and going on.
std::string convert(std::string_view in, const char* to, const char* from,
                    std::string_view replacement) {
  // Both code pages and UTF-8 agree on ASCII, which most texts are; the status tick converts
  // the entry name ten times a second.
  if (std::all_of(in.begin(), in.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(in);
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out;
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buffer[256];
  while (src_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    const size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: skip one unconvertible unit (a whole UTF-8 sequence when converting from
    // UTF-8, a single byte otherwise) and go on.
    out.append(replacement);
    size_t skip = 1;
    if (std::string_view(from) == "UTF-8") {
      const auto lead = static_cast<unsigned char>(*src);
      skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      while (skip > 1 &&
             (skip > src_left || (static_cast<unsigned char>(src[skip - 1]) & 0xC0) != 0x80)) {
        --skip;
      }
    }
    src += skip;
    src_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string to_ansi(std::string_view utf8, CodePage page) {
  return convert(utf8, iconv_name(page), "UTF-8", "?");
}

std::string from_ansi(std::string_view ansi, CodePage page) {
  return convert(ansi, "UTF-8", iconv_name(page), "\xEF\xBF\xBD");
}

}  // namespace nimbra::platform
