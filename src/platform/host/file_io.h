// Host file access shared by the implementations: bounded reads, atomic replacement and the
// identity of a file's version.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::platform {

// Reads at most `max_bytes` bytes of the file; nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> read_file_bounded(const std::filesystem::path& file,
                                                      size_t max_bytes);

std::optional<std::string> read_text_file(const std::filesystem::path& file, size_t max_bytes);

// Whether a replaced file is on the disk before the replacement returns, or only safe from the
// writer's own crash (a cache, which may be lost with the machine but never seen half-written).
enum class Durability { Synced, ProcessCrashOnly };

// Replaces the file whole: writes a temporary file beside it with `mode`, syncs it, renames it
// over the old one and syncs the directory (no syncing for ProcessCrashOnly). On failure the old
// file is left as it was.
bool write_file_atomic(const std::filesystem::path& file, std::span<const uint8_t> bytes,
                       unsigned mode, Durability durability = Durability::Synced);

bool write_text_file_atomic(const std::filesystem::path& file, std::string_view text,
                            unsigned mode);

// Which version of a file is on disk: a file replaced whole has a new inode or new times, also
// when another program replaced it.
struct FileIdentity {
  bool exists = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modified_ns = 0;
  int64_t changed_ns = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A missing file has an identity that does not exist; nothing when the file cannot be looked at.
std::optional<FileIdentity> identify_file(const std::filesystem::path& file);

}  // namespace nimbra::platform
