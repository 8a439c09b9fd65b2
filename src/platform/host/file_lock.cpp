// SPDX-License-Identifier: MIT
#include "platform/host/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace nimbra::platform {

namespace {

constexpr unsigned kLockFileMode = 0644;

int flock_operation(FileLock::Mode mode) {
  switch (mode) {
    case FileLock::Mode::Shared:
      return LOCK_SH;
    case FileLock::Mode::Exclusive:
      return LOCK_EX;
    case FileLock::Mode::TryExclusive:
      return LOCK_EX | LOCK_NB;
  }
  return LOCK_EX;
}

}  // namespace

std::filesystem::path lock_file_of(const std::filesystem::path& file) {
  return file.string() + ".lock";
}

FileLock::FileLock(const std::filesystem::path& file, Mode mode) {
  const std::filesystem::path lock = lock_file_of(file);
  fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockFileMode);
  if (fd_ < 0) fd_ = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return;
  int rc = 0;
  do {
    rc = ::flock(fd_, flock_operation(mode));
  } while (rc != 0 && errno == EINTR);
  held_ = rc == 0;
  busy_ = !held_ && errno == EWOULDBLOCK;
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace nimbra::platform
