// Host file access shared by the implementations: bounded reads and atomic replacement.
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

// Replaces the file whole: writes a temporary file beside it with `mode`, syncs it, renames it
// over the old one and syncs the directory. On failure the old file is left as it was.
bool write_file_atomic(const std::filesystem::path& file, std::span<const uint8_t> bytes,
                       unsigned mode);

bool write_text_file_atomic(const std::filesystem::path& file, std::string_view text,
                            unsigned mode);

}  // namespace nimbra::platform
