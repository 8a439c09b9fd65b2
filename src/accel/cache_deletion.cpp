// SPDX-License-Identifier: MIT
#include "accel/cache_deletion.h"

#include <algorithm>
#include <vector>

#include "platform/text/bytes.h"
#include "shell/ansi_text.h"

namespace nimbra::accel {

namespace {

namespace record = platform::cache_entry_record;

// While the work runs the window is painted again when the progress has moved and this much
// of the clock has passed, so a person sees it move without the painting slowing the work.
constexpr uint64_t kRepaintIntervalMs = 50;

class ProgressPainter {
 public:
  explicit ProgressPainter(shell::AppContext& app) : app_(app) {}

  // After a change of the label: always.
  void paint_now() {
    app_.platform.window.UpdateWindow(app_.main_window);
    last_ms_ = app_.platform.kernel.tick_count_ms();
  }

  // After a step of the bar: when it is time to.
  void paint_when_due() {
    if (app_.platform.kernel.tick_count_ms() - last_ms_ >= kRepaintIntervalMs) paint_now();
  }

 private:
  shell::AppContext& app_;
  uint64_t last_ms_ = 0;
};

// Adds the source URL of the entry in `entry` to List1, when it has one.
void collect_url(shell::AppContext& app, std::span<const uint8_t> entry) {
  const CacheEntryHeader header = copy_entry_header(entry);
  if (header.source_url == 0) return;
  if (auto url = source_url_of(header, entry)) {
    app.main_form.List1.add_item(shell::from_ansi(app, *url));
  }
}

// First pass: every entry fetched with two calls, its size and then its record, into a buffer
// sized exactly for it.
void collect_urls(shell::AppContext& app, ProgressPainter& painter) {
  platform::UrlCache& cache = app.platform.url_cache;
  platform::ProgressBar& bar = app.main_form.ProgressBar1;
  std::vector<uint8_t> entry;
  uint32_t size = 0;
  platform::CacheSearch search = 0;
  cache.FindFirstUrlCacheEntryA(std::nullopt, {}, size, search);
  if (size > 0) {
    entry.assign(size, 0);
    if (cache.FindFirstUrlCacheEntryA(std::nullopt, entry, size, search) ==
        platform::ERROR_SUCCESS) {
      collect_url(app, entry);
    }
  }
  while (search != 0) {
    // The number of entries is not known, so the bar cycles.
    bar.value = bar.value >= 100 ? 0 : bar.value + 1;
    painter.paint_when_due();
    size = 0;
    cache.FindNextUrlCacheEntryA(search, {}, size);
    if (size < 1) break;
    entry.assign(size, 0);
    if (cache.FindNextUrlCacheEntryA(search, entry, size) != platform::ERROR_SUCCESS) break;
    collect_url(app, entry);
  }
  cache.FindCloseUrlCache(search);
}

// Second pass: every URL of List1, those of earlier runs too.
void delete_entries(shell::AppContext& app, ProgressPainter& painter) {
  shell::MainForm& form = app.main_form;
  const size_t count = form.List1.items.get().size();
  for (size_t i = 0; i < count; ++i) {
    app.platform.url_cache.DeleteUrlCacheEntryA(shell::to_ansi(app, form.List1.items.get()[i]));
    const size_t now = form.List1.items.get().size();
    form.ProgressBar1.value =
        static_cast<int>(static_cast<double>(i) * 100.0 / static_cast<double>(now));
    painter.paint_when_due();
  }
}

}  // namespace

CacheEntryHeader copy_entry_header(std::span<const uint8_t> record) {
  if (record.size() < record::kHeaderSize) return {};
  return {bytes::get_u32(record, record::kStructSize), bytes::get_u32(record, record::kSourceUrl)};
}

std::optional<std::string> source_url_of(const CacheEntryHeader& header,
                                         std::span<const uint8_t> record) {
  if (header.source_url < record::kHeaderSize || header.source_url >= record.size()) return {};
  const auto text = record.subspan(header.source_url);
  const auto nul = std::find(text.begin(), text.end(), uint8_t{0});
  return std::string(text.begin(), nul);
}

void DeleteBrowserCache(shell::AppContext& app) {
  shell::MainForm& form = app.main_form;
  const shell::Catalogue& cat = app.catalogue;
  ProgressPainter painter(app);

  form.ProgressBar1.value = 0;
  form.ProgressBar1.visible = true;
  form.LabProgress.caption = cat.str(156);
  form.LabProgress.visible = true;
  painter.paint_now();
  collect_urls(app, painter);

  form.ProgressBar1.value = 0;
  form.LabProgress.caption = cat.str(144);
  painter.paint_now();
  delete_entries(app, painter);

  form.CheckCash.value = 0;
  form.LabProgress.caption = cat.str(143);
  painter.paint_now();
  form.ProgressBar1.visible = false;
  form.LabProgress.caption = std::string();
  form.LabProgress.visible = false;
  form.ProgressBar1.value = 0;
}

}  // namespace nimbra::accel
