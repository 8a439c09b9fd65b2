// SPDX-License-Identifier: MIT
#include "platform/sim/web/sim_url_cache.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/host/file_io.h"
#include "platform/registry.h"
#include "platform/sim/web/cache_entry_file.h"
#include "platform/text/bytes.h"

namespace nimbra::sim {

namespace {

namespace record = platform::cache_entry_record;

// Searches a program may hold open at once; one that never closes its searches cannot grow
// the machine's memory without end.
constexpr size_t kMaxSearches = 64;
constexpr int32_t kErrorNotEnoughMemory = 8;

std::vector<std::string> split_list(std::string_view text) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const auto item = platform::trim_blanks(text.substr(start, comma - start));
    if (!item.empty()) items.emplace_back(item);
    start = comma + 1;
  }
  return items;
}

std::vector<uint8_t> page_for(std::string_view url) {
  const std::string html = "<html><body>" + std::string(url) + "</body></html>\r\n";
  return {html.begin(), html.end()};
}

}  // namespace

SimUrlCache::SimUrlCache(const MachineConfig& config)
    : folder_(config.dir / machine_files::kWindows / kCacheFolder),
      windows_folder_(std::string(windows_directory_of(config.windows)) + "\\" +
                      std::string(kCacheFolder)) {
  std::error_code ec;
  if (std::filesystem::exists(folder_, ec)) return;
  std::filesystem::create_directories(folder_, ec);
  if (!ec) seed(config.ini);
}

void SimUrlCache::seed(const platform::IniFile& ini) {
  const std::string count_text = ini.get_or("cache", "entries", "0");
  const int count = std::clamp(std::atoi(count_text.c_str()), 0, 1'000'000);
  for (int i = 1; i <= count; ++i) {
    const std::string url = "http://www.example.com/page" + std::to_string(i) + ".html";
    add_entry(url, page_for(url));
  }
  for (const std::string& url : split_list(ini.get_or("cache", "urls", ""))) {
    add_entry(url, page_for(url));
  }
}

bool SimUrlCache::add_entry(std::string_view url, std::span<const uint8_t> document) {
  const auto bytes = cache_entry_file::format(url, document);
  if (!bytes) return false;
  // The URL's own file when it is cached already, else the first free name.
  auto file = file_of(url);
  for (int slot = 0; !file && slot < cache_entry_file::kSlots; ++slot) {
    const auto candidate = folder_ / cache_entry_file::file_name(url, slot);
    std::error_code ec;
    if (!std::filesystem::exists(candidate, ec)) file = candidate;
  }
  if (!file) return false;
  // Replaced whole, or a program killed while writing leaves a file that is no entry and that no
  // deletion removes; not synced: a cache need not outlive the machine, and syncing would make
  // seeding a large cache slow.
  return platform::write_file_atomic(*file, *bytes, 0644, nullptr,
                                     platform::Durability::ProcessCrashOnly);
}

std::optional<std::filesystem::path> SimUrlCache::file_of(std::string_view url) const {
  for (int slot = 0; slot < cache_entry_file::kSlots; ++slot) {
    const auto file = folder_ / cache_entry_file::file_name(url, slot);
    const auto head = platform::read_file_bounded(file, cache_entry_file::kMaxUrlLength + 1);
    if (!head) continue;
    const auto header = cache_entry_file::parse(*head);
    if (header && header->url == url) return file;
  }
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> SimUrlCache::record_of(const std::filesystem::path& file,
                                                           std::string_view pattern) const {
  // One opening gives both the URL line and the size.
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const auto file_size = static_cast<uint64_t>(std::max<std::streamoff>(in.tellg(), 0));
  std::vector<uint8_t> head(std::min<uint64_t>(file_size, cache_entry_file::kMaxUrlLength + 1));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()))) {
    return std::nullopt;
  }
  const auto header = cache_entry_file::parse(head);
  if (!header || !header->url.starts_with(pattern)) return std::nullopt;
  const uint64_t document_size = file_size - header->document_offset;
  const std::string local = windows_folder_ + "\\" + file.filename().string();

  const size_t url_offset = record::kHeaderSize;
  const size_t local_offset = url_offset + header->url.size() + 1;
  std::vector<uint8_t> out(local_offset + local.size() + 1, 0);
  bytes::put_u32(out, record::kStructSize, record::kHeaderSize);
  bytes::put_u32(out, record::kSourceUrl, static_cast<uint32_t>(url_offset));
  bytes::put_u32(out, record::kLocalFile, static_cast<uint32_t>(local_offset));
  bytes::put_u32(out, record::kEntryType, record::kNormalEntry);
  bytes::put_u32(out, record::kSizeLow, static_cast<uint32_t>(document_size));
  bytes::put_u32(out, record::kSizeHigh, static_cast<uint32_t>(document_size >> 32));
  std::memcpy(out.data() + url_offset, header->url.data(), header->url.size());
  std::memcpy(out.data() + local_offset, local.data(), local.size());
  return out;
}

int32_t SimUrlCache::next_entry(Search& search, std::span<uint8_t> entry, uint32_t& size) {
  while (search.next < search.files.size()) {
    if (!search.pending) search.pending = record_of(search.files[search.next], search.pattern);
    if (!search.pending) {
      ++search.next;  // gone since the walk began, or not an entry of the pattern
      continue;
    }
    const auto needed = static_cast<uint32_t>(search.pending->size());
    const size_t offered = std::min<size_t>(size, entry.size());
    size = needed;
    if (offered < needed) return platform::ERROR_INSUFFICIENT_BUFFER;
    std::copy(search.pending->begin(), search.pending->end(), entry.begin());
    search.pending.reset();
    ++search.next;
    return platform::ERROR_SUCCESS;
  }
  size = 0;
  return platform::ERROR_NO_MORE_ITEMS;
}

int32_t SimUrlCache::FindFirstUrlCacheEntryA(std::optional<std::string_view> pattern,
                                             std::span<uint8_t> entry, uint32_t& size,
                                             platform::CacheSearch& search) {
  search = 0;
  if (searches_.size() >= kMaxSearches) return kErrorNotEnoughMemory;
  Search walk{std::string(pattern.value_or("")), {}, 0, std::nullopt};
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder_, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (it->path().extension() == cache_entry_file::kExtension) walk.files.push_back(it->path());
  }
  std::sort(walk.files.begin(), walk.files.end());
  const int32_t result = next_entry(walk, entry, size);
  if (result != platform::ERROR_SUCCESS) return result;
  search = next_search_++;
  searches_.emplace(search, std::move(walk));
  return result;
}

int32_t SimUrlCache::FindNextUrlCacheEntryA(platform::CacheSearch search, std::span<uint8_t> entry,
                                            uint32_t& size) {
  const auto it = searches_.find(search);
  if (it == searches_.end()) return platform::ERROR_INVALID_HANDLE;
  return next_entry(it->second, entry, size);
}

bool SimUrlCache::FindCloseUrlCache(platform::CacheSearch search) {
  return searches_.erase(search) > 0;
}

bool SimUrlCache::DeleteUrlCacheEntryA(std::string_view url) {
  const auto file = file_of(url);
  std::error_code ec;
  return file && std::filesystem::remove(*file, ec);
}

}  // namespace nimbra::sim
