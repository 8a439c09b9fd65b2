// SPDX-License-Identifier: MIT
// The lock that guards a shared file of a machine: an flock() on the sidecar file "<file>.lock",
// held for the length of one read, or one read-modify-write and its atomic save. Every process
// that reads or changes the file takes it, so two writers never lose each other's changes.
//
// Opened anew each time, so that every process, forked ones included, has a lock of its own.
#pragma once

#include <filesystem>

namespace nimbra::platform {

// The sidecar lock file of `file`.
std::filesystem::path lock_file_of(const std::filesystem::path& file);

class FileLock {
 public:
  enum class Mode {
    Shared,        // to read; waits for a writer
    Exclusive,     // to change; waits for everyone
    TryExclusive,  // to change only when nobody holds it now
  };

  // Locks the sidecar of `file`, creating it when missing. Not held when it cannot be created
  // or opened (a read-only directory), or when a TryExclusive lock is taken by someone else.
  FileLock(const std::filesystem::path& file, Mode mode);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  bool held() const { return held_; }
  // Not held because another holder has it; the other causes are errors.
  bool busy() const { return busy_; }

 private:
  int fd_ = -1;
  bool held_ = false;
  bool busy_ = false;
};

}  // namespace nimbra::platform
