// SPDX-License-Identifier: MIT
// The simulated browser cache: one file per cached URL in the folder "Temporary Internet Files"
// of the machine's Windows directory (see cache_entry_file.h). A new machine's cache is seeded
// from machine.ini when the folder does not exist yet:
//
//   [cache]
//   entries = 250                              ; that many pages of http://www.example.com/
//   urls = http://a.example/, http://b.example/  ; and these
//
// Every program on the machine shares the cache; deleting an entry removes its file.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/machine/machine_config.h"
#include "platform/urlcache.h"

namespace nimbra::sim {

inline constexpr std::string_view kCacheFolder = "Temporary Internet Files";

class SimUrlCache : public platform::UrlCache {
 public:
  explicit SimUrlCache(const MachineConfig& config);

  int32_t FindFirstUrlCacheEntryA(std::optional<std::string_view> pattern, std::span<uint8_t> entry,
                                  uint32_t& size, platform::CacheSearch& search) override;
  int32_t FindNextUrlCacheEntryA(platform::CacheSearch search, std::span<uint8_t> entry,
                                 uint32_t& size) override;
  bool FindCloseUrlCache(platform::CacheSearch search) override;
  bool DeleteUrlCacheEntryA(std::string_view url) override;

  // Control face: puts a page into the cache (false when the URL cannot be an entry or the file
  // cannot be written), and the host folder that holds the entries.
  bool add_entry(std::string_view url, std::span<const uint8_t> document);
  const std::filesystem::path& folder() const { return folder_; }

 private:
  struct Search {
    std::string pattern;
    std::vector<std::filesystem::path> files;  // in name order, taken at the first call
    size_t next = 0;
    std::optional<std::vector<uint8_t>> pending;  // the record of files[next], once built
  };

  int32_t next_entry(Search& search, std::span<uint8_t> entry, uint32_t& size);
  // The record of an entry file, or nothing when the file is gone or no entry of the pattern.
  std::optional<std::vector<uint8_t>> record_of(const std::filesystem::path& file,
                                                std::string_view pattern) const;
  std::optional<std::filesystem::path> file_of(std::string_view url) const;
  void seed(const platform::IniFile& ini);

  std::filesystem::path folder_;
  std::string windows_folder_;  // the folder as the Windows path the records name
  std::map<platform::CacheSearch, Search> searches_;
  platform::CacheSearch next_search_ = 1;
};

}  // namespace nimbra::sim
