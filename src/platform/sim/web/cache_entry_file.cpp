// SPDX-License-Identifier: MIT
#include "platform/sim/web/cache_entry_file.h"

#include <algorithm>
#include <cstdio>

namespace nimbra::sim::cache_entry_file {

namespace {

bool is_url_char(uint8_t c) {
  return c >= 0x20 && c != 0x7F;
}

bool is_entry_url(std::string_view url) {
  return !url.empty() && url.size() <= kMaxUrlLength &&
         std::all_of(url.begin(), url.end(),
                     [](char c) { return is_url_char(static_cast<uint8_t>(c)); });
}

uint64_t fnv1a(std::string_view text) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : text) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace

std::optional<Header> parse(std::span<const uint8_t> bytes) {
  const auto head = bytes.first(std::min(bytes.size(), kMaxUrlLength + 1));
  const auto lf = std::find(head.begin(), head.end(), uint8_t{'\n'});
  if (lf == head.end()) return std::nullopt;
  std::string url(head.begin(), lf);
  if (!is_entry_url(url)) return std::nullopt;
  const size_t offset = url.size() + 1;
  return Header{std::move(url), offset};
}

std::optional<std::vector<uint8_t>> format(std::string_view url,
                                           std::span<const uint8_t> document) {
  if (!is_entry_url(url)) return std::nullopt;
  std::vector<uint8_t> out(url.begin(), url.end());
  out.push_back('\n');
  out.insert(out.end(), document.begin(), document.end());
  return out;
}

std::string file_name(std::string_view url, int slot) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(fnv1a(url)));
  std::string name(hex);
  if (slot > 0) name += "-" + std::to_string(slot);
  return name + std::string(kExtension);
}

}  // namespace nimbra::sim::cache_entry_file
