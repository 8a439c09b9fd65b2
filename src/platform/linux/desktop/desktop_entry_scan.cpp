// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/desktop_entry_scan.h"

#include <algorithm>

namespace nimbra::lnx {

std::vector<InstalledEntry> installed_entries(const std::filesystem::path& data_dir) {
  namespace fs = std::filesystem;
  std::vector<InstalledEntry> entries;
  const fs::path root = data_dir / "applications";
  std::error_code ec;
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  size_t seen = 0;
  for (; !ec && it != fs::recursive_directory_iterator() && seen < kMaxScannedFiles;
       it.increment(ec), ++seen) {
    if (it.depth() >= kMaxScanDepth) it.disable_recursion_pending();
    const fs::path& file = it->path();
    if (file.extension() != ".desktop" || !it->is_regular_file(ec)) continue;
    std::string id = file.lexically_relative(root).generic_string();
    std::replace(id.begin(), id.end(), '/', '-');
    entries.push_back({std::move(id), file});
  }
  std::sort(entries.begin(), entries.end(),
            [](const InstalledEntry& a, const InstalledEntry& b) { return a.id < b.id; });
  return entries;
}

}  // namespace nimbra::lnx
