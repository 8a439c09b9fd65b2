// SPDX-License-Identifier: MIT
// The desktop entries installed in the applications folders of the XDG data directories.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace nimbra::lnx {

struct InstalledEntry {
  std::string id;  // the desktop id: the path below applications/ with '-' for each '/'
  std::filesystem::path file;
};

// The entries under `data_dir`/applications, ordered by id. The walk is bounded: at most
// kMaxScannedFiles files and kMaxScanDepth folders deep; folder links are not followed.
inline constexpr size_t kMaxScannedFiles = 10000;
inline constexpr int kMaxScanDepth = 8;
std::vector<InstalledEntry> installed_entries(const std::filesystem::path& data_dir);

}  // namespace nimbra::lnx
