// SPDX-License-Identifier: MIT
// Arbitrary bytes as an entry file of the browser cache, read back from disk: the walk hands
// out a record exactly when the bytes are an entry, the program reads the same URL from the
// record inside its bounds, and deleting that URL removes the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <span>
#include <vector>

#include "accel/cache_deletion.h"
#include "fuzz_machine.h"
#include "platform/sim/web/cache_entry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  sim::SimUrlCache& cache = fuzz::fuzz_machine().url_cache();
  const auto header = sim::cache_entry_file::parse(std::span<const uint8_t>(data, size));
  // An entry sits under its URL's name, as the cache puts it there; anything else anywhere.
  const auto file = cache.folder() / (header ? sim::cache_entry_file::file_name(header->url, 0)
                                             : std::string("0000000000000000.entry"));
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  uint32_t needed = 0;
  platform::CacheSearch search = 0;
  const int32_t first = cache.FindFirstUrlCacheEntryA(std::nullopt, {}, needed, search);
  if ((first == platform::ERROR_INSUFFICIENT_BUFFER) != header.has_value()) std::abort();
  if (header) {
    std::vector<uint8_t> record(needed);
    if (cache.FindFirstUrlCacheEntryA(std::nullopt, record, needed, search) !=
        platform::ERROR_SUCCESS) {
      std::abort();
    }
    cache.FindCloseUrlCache(search);
    const auto url = accel::source_url_of(accel::copy_entry_header(record), record);
    if (url != header->url) std::abort();
    if (!cache.DeleteUrlCacheEntryA(*url) || std::filesystem::exists(file)) std::abort();
  }
  std::error_code ec;
  std::filesystem::remove(file, ec);
  return 0;
}
