// SPDX-License-Identifier: MIT
// Kernel services: the version record, the Windows directory, time, and files.
//
// File operations take the paths the program logic builds, Windows style ("C:\WINDOWS\x.dat",
// backslash separators, a harmless doubled separator), and map them onto the machine directory.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::platform {

// Size and offsets of the version record (OSVERSIONINFOA).
namespace version_record {
inline constexpr size_t kSize = 148;
inline constexpr size_t kSizeField = 0;
inline constexpr size_t kMajor = 4;
inline constexpr size_t kMinor = 8;
inline constexpr size_t kBuild = 12;
inline constexpr size_t kPlatformId = 16;
inline constexpr size_t kCsdVersion = 20;  // 128 bytes of ANSI text
}  // namespace version_record

// Windows language ids of the two languages the program speaks.
enum class Language { English = 1033, Japanese = 1041 };

struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

enum class FileAccess {
  Normal,     // 0644
  Private,    // 0600: the file holds a password
  Temporary,  // 0644, lives for a moment: write_file replaces it atomically, not syncing it
};

class Kernel {
 public:
  virtual ~Kernel() = default;

  // Fills the version record when its size field holds 148; returns false otherwise.
  virtual bool GetVersionExA(std::span<uint8_t> record) = 0;

  // Writes the Windows directory (no trailing separator) into `buffer` and returns the number
  // of characters written; when the buffer is too small, returns the size needed, NUL included.
  virtual uint32_t GetWindowsDirectoryA(std::span<char> buffer) = 0;

  // The ANSI code page of the machine: 1252 or 932.
  virtual uint32_t GetACP() = 0;

  // The language of the machine's Windows, in which it names its own parts (the dial-up
  // adapter); the user interface may speak another.
  virtual Language system_language() = 0;

  // The program's own directory (where the executable lives), Windows style.
  virtual std::string program_directory() = 0;

  // A directory of the program's own for short-lived files, Windows style, created when first
  // asked for; empty when it cannot be created.
  virtual std::string temp_directory() = 0;

  // Blocks the calling thread for `ms` milliseconds of the machine's clock.
  virtual void Sleep(uint32_t ms) = 0;

  // Milliseconds since an arbitrary start, monotonic.
  virtual uint64_t tick_count_ms() = 0;

  // The local date and time of the machine's clock.
  virtual LocalDateTime local_now() = 0;

  virtual bool file_exists(std::string_view path) = 0;

  // The first `max_bytes` bytes of the file, or nothing when it cannot be read.
  virtual std::optional<std::vector<uint8_t>> read_file(std::string_view path,
                                                        size_t max_bytes) = 0;

  // Replaces the file whole and atomically: a failed write leaves the previous file intact.
  virtual bool write_file(std::string_view path, std::span<const uint8_t> bytes,
                          FileAccess access) = 0;

  // Writes `bytes` over the start of the file and keeps every byte after them, as a binary
  // write from offset 0 does; a missing file is created. Atomic as write_file.
  virtual bool write_file_start(std::string_view path, std::span<const uint8_t> bytes,
                                FileAccess access) = 0;

  virtual bool delete_file(std::string_view path) = 0;
};

}  // namespace nimbra::platform
