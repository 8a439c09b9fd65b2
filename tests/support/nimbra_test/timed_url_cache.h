// SPDX-License-Identifier: MIT
// The machine's browser cache on a disk that takes a millisecond of the machine's clock for
// every entry it reads or deletes, so that work over the cache lets virtual time pass as real
// work does; it records the URLs it is asked to delete, and can fail reading one entry.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace nimbra::test {

class TimedUrlCache : public platform::UrlCache {
 public:
  explicit TimedUrlCache(sim::Machine& machine) : machine_(machine) {}

  int32_t FindFirstUrlCacheEntryA(std::optional<std::string_view> pattern, std::span<uint8_t> entry,
                                  uint32_t& size, platform::CacheSearch& search) override {
    machine_.kernel().Sleep(1);
    return machine_.url_cache().FindFirstUrlCacheEntryA(pattern, entry, size, search);
  }
  int32_t FindNextUrlCacheEntryA(platform::CacheSearch search, std::span<uint8_t> entry,
                                 uint32_t& size) override {
    machine_.kernel().Sleep(1);
    if (!entry.empty() && records_read_next_++ == fail_next_record) {
      return platform::ERROR_FILE_NOT_FOUND;
    }
    return machine_.url_cache().FindNextUrlCacheEntryA(search, entry, size);
  }
  bool FindCloseUrlCache(platform::CacheSearch search) override {
    return machine_.url_cache().FindCloseUrlCache(search);
  }
  bool DeleteUrlCacheEntryA(std::string_view url) override {
    machine_.kernel().Sleep(1);
    deleted.emplace_back(url);
    return machine_.url_cache().DeleteUrlCacheEntryA(url);
  }

  std::vector<std::string> deleted;
  // Reading this record (counted from 0) after the first fails, as a cache changed meanwhile.
  int fail_next_record = -1;

 private:
  sim::Machine& machine_;
  int records_read_next_ = 0;
};

}  // namespace nimbra::test
