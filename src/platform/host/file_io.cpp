// SPDX-License-Identifier: MIT
#include "platform/host/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

namespace nimbra::platform {

namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool write_all(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

constexpr std::string_view kTemporarySuffix = ".XXXXXX";
constexpr size_t kCopyPiece = 64 * 1024;

std::error_code last_error() {
  return {errno, std::generic_category()};
}

// Whether replacing `file` would leave it as it is: it is our own regular file with `mode` and
// begins with `start`, and holds nothing more when `whole`. Such a file is synced instead of
// replaced (a program saves the same settings at every start, and a replacement costs two
// syncs); nothing is lost when this says no.
bool holds_already(const std::filesystem::path& file, std::span<const uint8_t> start, unsigned mode,
                   bool whole, Durability durability) {
  Fd fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      (st.st_mode & 07777) != mode || st.st_nlink != 1 || st.st_uid != ::geteuid()) {
    return false;
  }
  const auto size = static_cast<uint64_t>(st.st_size);
  if (whole ? size != start.size() : size < start.size()) return false;
  uint8_t buffer[4096];
  for (size_t done = 0; done < start.size();) {
    const ssize_t n = ::read(fd.get(), buffer, std::min(sizeof buffer, start.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || std::memcmp(buffer, start.data() + done, static_cast<size_t>(n)) != 0) {
      return false;
    }
    done += static_cast<size_t>(n);
  }
  // Another writer may have left these bytes unsynced: they are on the disk when we return.
  if (durability == Durability::ProcessCrashOnly) return true;
  if (::fsync(fd.get()) != 0) return false;
  if (durability == Durability::Synced) {
    sync_directory(file.has_parent_path() ? file.parent_path() : ".");
  }
  return true;
}

// Writes the new contents with `fill` into a temporary file beside `file`, syncs it and renames
// it over `file`; the temporary file goes away when anything fails. `fill` leaves errno set
// when it fails.
bool replace_atomically(const std::filesystem::path& file, unsigned mode,
                        const std::function<bool(int fd)>& fill, std::error_code* why,
                        Durability durability = Durability::Synced) {
  const bool sync = durability != Durability::ProcessCrashOnly;
  const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : ".";
  std::string tmp =
      (dir / ("." + file.filename().string() + std::string(kTemporarySuffix))).string();
  Fd fd(::mkstemp(tmp.data()));
  if (fd.get() < 0) {
    if (why) *why = last_error();
    return false;
  }
  const bool ok = ::fchmod(fd.get(), static_cast<mode_t>(mode)) == 0 && fill(fd.get()) &&
                  (!sync || ::fsync(fd.get()) == 0) && ::close(fd.release()) == 0 &&
                  ::rename(tmp.c_str(), file.c_str()) == 0;
  if (!ok) {
    const std::error_code error = last_error();
    ::unlink(tmp.c_str());
    if (why) *why = error;
    return false;
  }
  if (durability == Durability::Synced) sync_directory(dir);
  return true;
}

}  // namespace

bool sync_directory(const std::filesystem::path& dir) {
  Fd dirfd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dirfd.get() >= 0 && ::fsync(dirfd.get()) == 0;
}

std::optional<std::vector<uint8_t>> read_file_bounded(const std::filesystem::path& file,
                                                      size_t max_bytes) {
  Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::vector<uint8_t> out;
  uint8_t buffer[4096];
  while (out.size() < max_bytes) {
    const size_t want = std::min(sizeof buffer, max_bytes - out.size());
    const ssize_t n = ::read(fd.get(), buffer, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  return out;
}

std::optional<std::string> read_text_file(const std::filesystem::path& file, size_t max_bytes) {
  auto bytes = read_file_bounded(file, max_bytes);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

bool write_file_atomic(const std::filesystem::path& file, std::span<const uint8_t> bytes,
                       unsigned mode, std::error_code* why, Durability durability) {
  if (holds_already(file, bytes, mode, true, durability)) return true;
  return replace_atomically(
      file, mode, [&](int fd) { return write_all(fd, bytes.data(), bytes.size()); }, why,
      durability);
}

bool write_text_file_atomic(const std::filesystem::path& file, std::string_view text, unsigned mode,
                            std::error_code* why, Durability durability) {
  return write_file_atomic(file,
                           std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                           mode, why, durability);
}

bool replace_file_start_atomic(const std::filesystem::path& file, std::span<const uint8_t> start,
                               unsigned mode, std::error_code* why) {
  if (holds_already(file, start, mode, false, Durability::Synced)) return true;
  return replace_atomically(
      file, mode,
      [&](int fd) {
        if (!write_all(fd, start.data(), start.size())) return false;
        Fd old(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
        if (old.get() < 0) return errno == ENOENT;
        if (::lseek(old.get(), static_cast<off_t>(start.size()), SEEK_SET) < 0) return false;
        uint8_t buffer[kCopyPiece];
        for (;;) {
          const ssize_t n = ::read(old.get(), buffer, sizeof buffer);
          if (n < 0 && errno == EINTR) continue;
          if (n <= 0) return n == 0;
          if (!write_all(fd, buffer, static_cast<size_t>(n))) return false;
        }
      },
      why);
}

std::optional<std::string> temporary_file_target(std::string_view name) {
  constexpr size_t kRandomPart = kTemporarySuffix.size() - 1;
  if (name.size() < kTemporarySuffix.size() + 2 || name.front() != '.') return std::nullopt;
  const std::string_view random = name.substr(name.size() - kRandomPart);
  if (name[name.size() - kTemporarySuffix.size()] != '.' ||
      !std::all_of(random.begin(), random.end(),
                   [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
    return std::nullopt;
  }
  return std::string(name.substr(1, name.size() - kTemporarySuffix.size() - 1));
}

void report_failed_save(const std::filesystem::path& file, const std::error_code& why) {
  std::fprintf(stderr, "%s: cannot save %s (%s); it stays as it was\n",
               program_invocation_short_name, file.c_str(), why.message().c_str());
}

std::optional<FileIdentity> identify_file(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) {
    if (errno == ENOENT) return FileIdentity{};
    return std::nullopt;
  }
  constexpr int64_t kNsPerSecond = 1'000'000'000;
  return FileIdentity{true,
                      static_cast<uint64_t>(st.st_dev),
                      static_cast<uint64_t>(st.st_ino),
                      static_cast<int64_t>(st.st_size),
                      static_cast<int64_t>(st.st_mtim.tv_sec) * kNsPerSecond + st.st_mtim.tv_nsec,
                      static_cast<int64_t>(st.st_ctim.tv_sec) * kNsPerSecond + st.st_ctim.tv_nsec};
}

}  // namespace nimbra::platform
