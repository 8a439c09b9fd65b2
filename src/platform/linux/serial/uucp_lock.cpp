// SPDX-License-Identifier: MIT
#include "platform/linux/serial/uucp_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "platform/text/ini_file.h"

namespace nimbra::lnx {

namespace {

// Only a few attempts: a stale lock is removed once, then a fresh race is lost honestly.
constexpr int kAttempts = 3;

std::filesystem::path resolved(const std::filesystem::path& device) {
  std::error_code ec;
  std::filesystem::path target = std::filesystem::canonical(device, ec);
  return ec ? device : target;
}

bool process_runs(long pid) {
  return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

std::string UucpLock::file_name(const std::filesystem::path& device) {
  std::string name = device.lexically_normal().string();
  constexpr std::string_view kDev = "/dev/";
  if (name.starts_with(kDev)) name.erase(0, kDev.size());
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return "LCK.." + name;
}

// Named after the device the path leads to, so a lock taken through /dev/serial/by-id/... is
// the one every other program takes on /dev/ttyACM0.
UucpLock::UucpLock(std::filesystem::path lock_dir, const std::filesystem::path& device)
    : dir_(std::move(lock_dir)), path_(dir_ / file_name(resolved(device))) {}

UucpLock::~UucpLock() {
  release();
}

UucpLock::Result UucpLock::acquire() {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (create()) {
      locked_ = true;
      owner_ = ::getpid();
      return Result::Locked;
    }
    if (errno != EEXIST) return Result::Unavailable;
    const auto pid = holder();
    if (pid && (*pid == ::getpid() || process_runs(*pid))) return Result::Held;
    // Stale, or unreadable garbage of a crashed writer.
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) return Result::Unavailable;
  }
  return Result::Held;
}

void UucpLock::release() {
  if (!locked_) return;
  const auto pid = holder();
  if (pid && *pid == owner_) ::unlink(path_.c_str());
  locked_ = false;
}

bool UucpLock::hand_to(long pid) {
  if (!locked_ || holder() != owner_) return false;
  const auto temp = write_temp(pid);
  if (!temp) return false;
  const bool renamed = ::rename(temp->c_str(), path_.c_str()) == 0;
  if (!renamed) ::unlink(temp->c_str());
  if (renamed) owner_ = pid;
  return renamed;
}

void UucpLock::leave() {
  locked_ = false;
}

void UucpLock::remove_if_held_by(const std::filesystem::path& lock_dir,
                                 const std::filesystem::path& device, long pid) {
  UucpLock lock(lock_dir, device);
  if (lock.holder() == pid) ::unlink(lock.path_.c_str());
}

std::optional<long> UucpLock::holder() const {
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  std::array<char, 32> text{};
  const ssize_t n = ::read(fd, text.data(), text.size() - 1);
  ::close(fd);
  if (n <= 0) return std::nullopt;
  // The older binary form: the PID as a native int.
  if (n == sizeof(int) && text[0] != ' ' && (text[0] < '0' || text[0] > '9')) {
    int binary = 0;
    std::memcpy(&binary, text.data(), sizeof binary);
    return binary;
  }
  const std::string_view s =
      platform::trim_blanks(std::string_view(text.data(), static_cast<size_t>(n)));
  const std::string_view digits = s.substr(0, s.find_first_of("\r\n"));
  long pid = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return pid;
}

std::optional<std::filesystem::path> UucpLock::write_temp(long pid) const {
  const std::filesystem::path temp =
      dir_ / ("LTMP." + std::to_string(::getpid()) + "." + path_.filename().string());
  ::unlink(temp.c_str());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return std::nullopt;
  std::array<char, 16> text{};
  const int length = std::snprintf(text.data(), text.size(), "%10ld\n", pid);
  const bool written = ::write(fd, text.data(), static_cast<size_t>(length)) == length;
  ::close(fd);
  if (written) return temp;
  ::unlink(temp.c_str());
  errno = EIO;
  return std::nullopt;
}

// Writes the PID into a private file and links it to the lock name, so the lock appears whole
// or not at all; errno tells why it failed.
bool UucpLock::create() {
  const auto temp = write_temp(::getpid());
  if (!temp) return false;
  const bool linked = ::link(temp->c_str(), path_.c_str()) == 0;
  const int link_errno = errno;
  ::unlink(temp->c_str());
  errno = linked ? 0 : link_errno;
  return linked;
}

}  // namespace nimbra::lnx
