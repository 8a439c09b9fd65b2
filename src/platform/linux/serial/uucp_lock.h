// The UUCP lock-file convention for serial devices: /var/lock/LCK..<device> holds the PID of
// the process using the device, as ten ASCII characters and a line feed. A lock whose process
// no longer runs is stale and is taken over.
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
  void release();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::optional<long> holder() const;
  bool create();

  std::filesystem::path dir_;
  std::filesystem::path path_;
  bool locked_ = false;
};

}  // namespace nimbra::lnx
