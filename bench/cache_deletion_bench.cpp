// SPDX-License-Identifier: MIT
// Deleting a browser cache of 10 000 entries: the program's two passes over the simulated cache
// (collect every URL, delete every entry, progress painted on the way), beside the simulated
// store's own work for them and the file-system work alone (list the folder, read each entry's
// URL line, remove the file) as the references.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "accel/cache_deletion.h"
#include "platform/host/file_io.h"
#include "platform/sim/web/cache_entry_file.h"
#include "platform/sim/machine.h"

namespace {

using namespace nimbra;

constexpr int kEntries = 10'000;

// A machine without a card: the deletion needs none.
class CacheMachine {
 public:
  CacheMachine() {
    std::string dir = (std::filesystem::temp_directory_path() / "nimbra-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) std::abort();
    root_ = dir;
    sim::create_machine(root_ / "machine",
                        {sim::WindowsVersion::XP, platform::Language::English, {}});
    machine_ = std::make_unique<sim::Machine>(root_ / "machine");
  }
  ~CacheMachine() {
    machine_.reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  sim::Machine& machine() { return *machine_; }

  void seed() {
    const std::vector<uint8_t> page(2048, 'x');
    for (int i = 0; i < kEntries; ++i) {
      machine_->url_cache().add_entry(
          "http://www.example.com/pages/" + std::to_string(i) + "/index.html", page);
    }
  }

 private:
  std::filesystem::path root_;
  std::unique_ptr<sim::Machine> machine_;
};

void BM_DeleteBrowserCache(benchmark::State& state) {
  CacheMachine m;
  sim::Process& process = m.machine().start_process();
  shell::AppContext app(process.platform());
  app.main_window = process.platform().window.attach(app.main_form);
  for (auto _ : state) {
    state.PauseTiming();
    m.seed();
    app.main_form.List1.clear();
    state.ResumeTiming();
    accel::DeleteBrowserCache(app);
  }
  if (!std::filesystem::is_empty(m.machine().url_cache().folder())) std::abort();
  state.counters["entries"] = kEntries;
  state.counters["paintings"] =
      static_cast<double>(process.window().update_count(app.main_window)) /
      static_cast<double>(state.iterations());
}
BENCHMARK(BM_DeleteBrowserCache)->Unit(benchmark::kMillisecond)->Iterations(5);

// The simulated store's own work for the same two passes, without the program around it.
void BM_DeleteCacheStoreOnly(benchmark::State& state) {
  CacheMachine m;
  platform::UrlCache& cache = m.machine().url_cache();
  for (auto _ : state) {
    state.PauseTiming();
    m.seed();
    state.ResumeTiming();
    std::vector<std::string> urls;
    std::vector<uint8_t> record;
    uint32_t size = 0;
    platform::CacheSearch search = 0;
    cache.FindFirstUrlCacheEntryA(std::nullopt, {}, size, search);
    record.assign(size, 0);
    for (int32_t result = cache.FindFirstUrlCacheEntryA(std::nullopt, record, size, search);
         result == platform::ERROR_SUCCESS;
         result = cache.FindNextUrlCacheEntryA(search, record, size)) {
      urls.push_back(*accel::source_url_of(accel::copy_entry_header(record), record));
      size = 0;
      cache.FindNextUrlCacheEntryA(search, {}, size);
      record.assign(size, 0);
    }
    cache.FindCloseUrlCache(search);
    for (const auto& url : urls) cache.DeleteUrlCacheEntryA(url);
  }
  state.counters["entries"] = kEntries;
}
BENCHMARK(BM_DeleteCacheStoreOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DeleteCacheFilesOnly(benchmark::State& state) {
  CacheMachine m;
  const auto& folder = m.machine().url_cache().folder();
  for (auto _ : state) {
    state.PauseTiming();
    m.seed();
    state.ResumeTiming();
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      files.push_back(entry.path());
    }
    for (const auto& file : files) {
      const auto head = platform::read_file_bounded(file, sim::cache_entry_file::kMaxUrlLength + 1);
      benchmark::DoNotOptimize(head);
      std::filesystem::remove(file);
    }
  }
  state.counters["entries"] = kEntries;
}
BENCHMARK(BM_DeleteCacheFilesOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
