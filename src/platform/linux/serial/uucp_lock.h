// SPDX-License-Identifier: MIT
// The UUCP lock-file convention for serial devices: /var/lock/LCK..<device> holds the PID of
// the process using the device, as ten ASCII characters and a line feed. A lock whose process
// no longer runs is stale and is taken over. A dialler that hands the line to another process
// (pppd) rewrites the lock with that process's id, as pppd itself does when it detaches.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace nimbra::lnx {

class UucpLock {
 public:
  enum class Result {
    Locked,       // the lock file is ours
    Held,         // a running process holds the device
    Unavailable,  // the lock directory cannot be written: no lock file is used
  };

  // The lock file's name for a device path: "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for
  // /dev/pts/3.
  static std::string file_name(const std::filesystem::path& device);

  UucpLock(std::filesystem::path lock_dir, const std::filesystem::path& device);
  ~UucpLock();
  UucpLock(const UucpLock&) = delete;
  UucpLock& operator=(const UucpLock&) = delete;

  Result acquire();
  // Removes the lock file when it still names the process the lock was given to.
  void release();
  // The lock names `pid` from now on (replaced atomically); false when it no longer named ours.
  bool hand_to(long pid);
  // Forgets the lock without touching the file: the process it names goes on holding the line.
  void leave();
  const std::filesystem::path& path() const { return path_; }

  // Removes the lock of `device` in `lock_dir` when it names `pid` (which has ended).
  static void remove_if_held_by(const std::filesystem::path& lock_dir,
                                const std::filesystem::path& device, long pid);

 private:
  std::optional<long> holder() const;
  // Writes a lock naming `pid` beside the lock file; the temporary file's path, or nothing.
  std::optional<std::filesystem::path> write_temp(long pid) const;
  bool create();

  std::filesystem::path dir_;
  std::filesystem::path path_;
  bool locked_ = false;
  long owner_ = 0;  // the process the lock names
};

}  // namespace nimbra::lnx
