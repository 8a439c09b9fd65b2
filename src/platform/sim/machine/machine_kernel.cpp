// SPDX-License-Identifier: MIT
#include "platform/sim/machine/machine_kernel.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/host/file_io.h"
#include "platform/text/bytes.h"
#include "platform/text/ini_file.h"

namespace nimbra::sim {

namespace {

// Splits a Windows path at '\' and '/', dropping empty pieces (a doubled separator is harmless).
std::vector<std::string> split_path(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

bool starts_with_parts(const std::vector<std::string>& path, const std::vector<std::string>& base) {
  if (path.size() < base.size()) return false;
  return std::equal(
      base.begin(), base.end(), path.begin(),
      [](const std::string& a, const std::string& b) { return platform::iequals(a, b); });
}

// The existing entry of `dir` whose name equals `name` ignoring case, else `name` itself.
std::string resolve_component(const std::filesystem::path& dir, const std::string& name) {
  std::error_code ec;
  if (std::filesystem::exists(dir / name, ec)) return name;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const std::string existing = entry.path().filename().string();
    if (platform::iequals(existing, name)) return existing;
  }
  return name;
}

// Saves the bytes with `replace`, an atomic replacement of host file access; a failure is told on
// standard error, as the program has no message for it.
template <class Replace>
bool save_told(const std::optional<std::filesystem::path>& host, std::span<const uint8_t> bytes,
               platform::FileAccess access, Replace replace) {
  if (!host) return false;
  std::error_code why;
  if (replace(*host, bytes, access == platform::FileAccess::Private ? 0600 : 0644, &why)) {
    return true;
  }
  platform::report_failed_save(*host, why);
  return false;
}

}  // namespace

MachineKernel::MachineKernel(const MachineConfig& config, platform::Clock& clock)
    : config_(config), clock_(clock) {}

bool MachineKernel::GetVersionExA(std::span<uint8_t> record) {
  namespace vr = platform::version_record;
  if (record.size() < vr::kSize || bytes::get_u32(record, vr::kSizeField) != vr::kSize) {
    return false;
  }
  const VersionRecord v = version_record_of(config_.windows);
  bytes::put_u32(record, vr::kMajor, v.major);
  bytes::put_u32(record, vr::kMinor, v.minor);
  bytes::put_u32(record, vr::kBuild, v.build);
  bytes::put_u32(record, vr::kPlatformId, v.platform_id);
  std::fill_n(record.begin() + vr::kCsdVersion, 128, uint8_t{0});
  return true;
}

uint32_t MachineKernel::GetWindowsDirectoryA(std::span<char> buffer) {
  const std::string_view dir = windows_directory_of(config_.windows);
  if (buffer.size() < dir.size() + 1) return static_cast<uint32_t>(dir.size() + 1);
  std::memcpy(buffer.data(), dir.data(), dir.size());
  buffer[dir.size()] = '\0';
  return static_cast<uint32_t>(dir.size());
}

uint32_t MachineKernel::GetACP() {
  return static_cast<uint32_t>(config_.code_page());
}

platform::Language MachineKernel::system_language() {
  return config_.language;
}

std::string MachineKernel::program_directory() {
  return std::string(kProgramDirectory);
}

std::string MachineKernel::temp_directory() {
  const std::string dir = std::string(windows_directory_of(config_.windows)) + "\\TEMP";
  const auto host = host_path(dir);
  std::error_code ec;
  if (!host || (!std::filesystem::is_directory(*host, ec) &&
                !std::filesystem::create_directory(*host, ec))) {
    return {};
  }
  std::filesystem::permissions(*host, std::filesystem::perms::owner_all, ec);
  return ec ? std::string() : dir;
}

void MachineKernel::Sleep(uint32_t ms) {
  clock_.sleep(ms);
}
uint64_t MachineKernel::tick_count_ms() {
  return clock_.tick_ms();
}
platform::LocalDateTime MachineKernel::local_now() {
  return clock_.local_now();
}

std::optional<std::filesystem::path> MachineKernel::host_path(std::string_view path) const {
  const auto parts = split_path(path);
  struct Root {
    std::vector<std::string> windows_parts;
    std::string_view host_dir;
  };
  // The most specific root first.
  const Root roots[] = {
      {split_path(windows_directory_of(config_.windows)), machine_files::kWindows},
      {split_path(kProgramDirectory), machine_files::kProgram},
      {{"C:"}, machine_files::kDriveC},
  };
  for (const auto& root : roots) {
    if (!starts_with_parts(parts, root.windows_parts)) continue;
    std::filesystem::path host = config_.dir / root.host_dir;
    for (size_t i = root.windows_parts.size(); i < parts.size(); ++i) {
      if (parts[i] == "." || parts[i] == "..") return std::nullopt;
      host /= resolve_component(host, parts[i]);
    }
    return host;
  }
  return std::nullopt;
}

bool MachineKernel::file_exists(std::string_view path) {
  const auto host = host_path(path);
  std::error_code ec;
  return host && std::filesystem::is_regular_file(*host, ec);
}

std::optional<std::vector<uint8_t>> MachineKernel::read_file(std::string_view path,
                                                             size_t max_bytes) {
  const auto host = host_path(path);
  if (!host) return std::nullopt;
  return platform::read_file_bounded(*host, max_bytes);
}

bool MachineKernel::write_file(std::string_view path, std::span<const uint8_t> bytes,
                               platform::FileAccess access) {
  // A temporary file goes away at once: atomic, but not worth a sync.
  const auto durability = access == platform::FileAccess::Temporary
                              ? platform::Durability::ProcessCrashOnly
                              : platform::Durability::Synced;
  return save_told(host_path(path), bytes, access,
                   [durability](const std::filesystem::path& file, std::span<const uint8_t> whole,
                                unsigned mode, std::error_code* why) {
                     return platform::write_file_atomic(file, whole, mode, why, durability);
                   });
}

bool MachineKernel::write_file_start(std::string_view path, std::span<const uint8_t> bytes,
                                     platform::FileAccess access) {
  return save_told(host_path(path), bytes, access, platform::replace_file_start_atomic);
}

bool MachineKernel::delete_file(std::string_view path) {
  const auto host = host_path(path);
  std::error_code ec;
  return host && std::filesystem::remove(*host, ec);
}

}  // namespace nimbra::sim
