// SPDX-License-Identifier: MIT
#include "platform/sim/machine/stale_temporaries.h"

#include <chrono>
#include <vector>

#include "platform/host/file_io.h"
#include "platform/host/file_lock.h"

namespace nimbra::sim {

namespace {

namespace fs = std::filesystem;

// No write takes this long between two pieces; a file untouched for longer is abandoned.
constexpr auto kAbandoned = std::chrono::minutes(10);
constexpr size_t kMaxEntries = 100'000;

bool abandoned(const fs::path& temporary) {
  std::error_code ec;
  const auto written = fs::last_write_time(temporary, ec);
  return !ec && fs::file_time_type::clock::now() - written > kAbandoned;
}

}  // namespace

void remove_stale_temporaries(const fs::path& machine_dir) {
  std::vector<fs::path> found;
  std::error_code ec;
  fs::recursive_directory_iterator it(machine_dir, fs::directory_options::skip_permission_denied,
                                      ec);
  for (size_t seen = 0; !ec && it != fs::recursive_directory_iterator() && seen < kMaxEntries;
       it.increment(ec), ++seen) {
    std::error_code type_ec;
    if (!it->is_regular_file(type_ec)) continue;
    if (platform::temporary_file_target(it->path().filename().string())) {
      found.push_back(it->path());
    }
  }
  for (const fs::path& temporary : found) {
    const fs::path target =
        temporary.parent_path() / *platform::temporary_file_target(temporary.filename().string());
    std::error_code remove_ec;
    if (fs::exists(platform::lock_file_of(target), remove_ec)) {
      const platform::FileLock lock(target, platform::FileLock::Mode::TryExclusive);
      if (lock.held()) fs::remove(temporary, remove_ec);
    } else if (abandoned(temporary)) {
      fs::remove(temporary, remove_ec);
    }
  }
}

}  // namespace nimbra::sim
