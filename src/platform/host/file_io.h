// SPDX-License-Identifier: MIT
// Host file access shared by the implementations: bounded reads, atomic replacement and the
// identity of a file's version.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace nimbra::platform {

// Reads at most `max_bytes` bytes of the file; nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> read_file_bounded(const std::filesystem::path& file,
                                                      size_t max_bytes);

std::optional<std::string> read_text_file(const std::filesystem::path& file, size_t max_bytes);

// Whether a replaced file is on the disk before the replacement returns; or its new contents
// are, and the replacement itself reaches the disk with the next sync of the directory (a crash
// of the machine before then finds the old file or the new one, whole either way); or it is only
// safe from the writer's own crash (a cache, which may be lost with the machine but never seen
// half-written).
enum class Durability { Synced, ContentsSynced, ProcessCrashOnly };

// Puts on the disk the replacements and removals of files in `dir` made so far.
bool sync_directory(const std::filesystem::path& dir);

// Replaces the file whole: writes a temporary file beside it (named by temporary_file_name)
// with `mode`, syncs it, renames it over the old one and syncs the directory (as `durability`
// says). On failure the old file is left as it was and `why`, when given, says what
// failed. A file that already holds these bytes with this mode (our own, not a link) is only
// synced: its inode and times stay.
bool write_file_atomic(const std::filesystem::path& file, std::span<const uint8_t> bytes,
                       unsigned mode, std::error_code* why = nullptr,
                       Durability durability = Durability::Synced);

bool write_text_file_atomic(const std::filesystem::path& file, std::string_view text, unsigned mode,
                            std::error_code* why = nullptr,
                            Durability durability = Durability::Synced);

// Replaces the first bytes of the file with `start` and keeps every byte after them, whatever
// the file's length, in one atomic replacement as above; a missing file is created holding
// `start` alone. Memory stays bounded: the rest is copied in pieces. A file that already begins
// with `start` is only synced, as above.
bool replace_file_start_atomic(const std::filesystem::path& file, std::span<const uint8_t> start,
                               unsigned mode, std::error_code* why = nullptr);

// The temporary file an atomic replacement writes beside `file` is named ".NAME.XXXXXX"; given
// a name of that form, the name of the file it was to replace, else nothing.
std::optional<std::string> temporary_file_target(std::string_view name);

// Tells standard error that the file could not be saved and that the previous one stays, for
// saves whose failure the program has no message of its own for.
void report_failed_save(const std::filesystem::path& file, const std::error_code& why);

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
