#include "platform/host/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

}  // namespace

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
                       unsigned mode, Durability durability) {
  const bool sync = durability == Durability::Synced;
  const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : ".";
  std::string tmpl = (dir / ("." + file.filename().string() + ".XXXXXX")).string();
  Fd fd(::mkstemp(tmpl.data()));
  if (fd.get() < 0) return false;
  const std::string tmp = tmpl;
  const bool ok = ::fchmod(fd.get(), static_cast<mode_t>(mode)) == 0 &&
                  write_all(fd.get(), bytes.data(), bytes.size()) &&
                  (!sync || ::fsync(fd.get()) == 0) && ::close(fd.release()) == 0 &&
                  ::rename(tmp.c_str(), file.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    return false;
  }
  if (sync) {
    Fd dirfd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirfd.get() >= 0) ::fsync(dirfd.get());
  }
  return true;
}

bool write_text_file_atomic(const std::filesystem::path& file, std::string_view text,
                            unsigned mode) {
  return write_file_atomic(
      file, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), mode);
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
