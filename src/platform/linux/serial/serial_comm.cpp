// SPDX-License-Identifier: MIT
#include "platform/linux/serial/serial_comm.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace nimbra::lnx {

using platform::CommError;

namespace {

// A command is a few bytes; a device that takes no more for this long is treated as stuck.
constexpr int kWriteStallMs = 500;
constexpr int kMaxWriteRounds = 64;

speed_t speed_of(uint32_t baud) {
  switch (baud) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B9600;
  }
}

tcflag_t size_of(uint8_t bits) {
  switch (bits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

}  // namespace

SerialComm::SerialComm(SerialOptions options) : options_(std::move(options)) {}

SerialComm::~SerialComm() {
  close();
}

CommError SerialComm::set_CommPort(int16_t port) {
  if (fd_ >= 0) return CommError::PortAlreadyOpen;
  if (port < 1 || port > 16) return CommError::InvalidPortNumber;
  port_ = port;
  device_gone_ = false;
  return CommError::None;
}

CommError SerialComm::set_PortOpen(bool open_it) {
  if (open_it == (fd_ >= 0)) return open_it ? CommError::PortAlreadyOpen : closed_error();
  if (!open_it) {
    close();
    return CommError::None;
  }
  return open();
}

CommError SerialComm::open() {
  const std::filesystem::path device = options_.device_of(port_);
  access_denied_ = false;
  std::error_code ec;
  if (device.empty() || !std::filesystem::exists(device, ec)) return CommError::InvalidPortNumber;

  auto lock = std::make_unique<UucpLock>(options_.lock_dir, device);
  const UucpLock::Result locked = lock->acquire();
  if (locked == UucpLock::Result::Held) return CommError::PortInUse;
  lock_file_used_ = locked == UucpLock::Result::Locked;

  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENXIO) return CommError::InvalidPortNumber;
    access_denied_ = errno == EACCES || errno == EPERM;
    return CommError::PortInUse;
  }
  // TIOCEXCL turns away later opens by other programs; flock covers those that ask first.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return CommError::PortInUse;
  }
  fd_ = fd;
  lock_ = std::move(lock);
  device_gone_ = false;
  received_.clear();
  if (const CommError e = apply(settings_); e != CommError::None) {
    close();
    return e;
  }
  ::tcflush(fd_, TCIOFLUSH);
  return CommError::None;
}

void SerialComm::close() {
  if (fd_ >= 0) {
    if (!handed_over_) ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
  }
  if (lock_ && handed_over_) lock_->leave();
  lock_.reset();
  handed_over_ = false;
  received_.clear();
}

void SerialComm::hand_over(long pid) {
  if (fd_ < 0) return;
  handed_over_ = true;
  if (lock_) lock_->hand_to(pid);
}

void SerialComm::take_back() {
  handed_over_ = false;
}

void SerialComm::lose_device() {
  close();
  device_gone_ = true;
}

CommError SerialComm::apply(const platform::LineSettings& s) {
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) return CommError::InvalidSettings;
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  tio.c_cflag |= size_of(s.data_bits) | CLOCAL | CREAD | HUPCL;
  if (options_.rts_cts) tio.c_cflag |= CRTSCTS;
  if (s.parity == 'E' || s.parity == 'O') tio.c_cflag |= PARENB;
  if (s.parity == 'O') tio.c_cflag |= PARODD;
  if (s.stop_bits == 2) tio.c_cflag |= CSTOPB;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, speed_of(s.baud));
  ::cfsetospeed(&tio, speed_of(s.baud));
  return ::tcsetattr(fd_, TCSANOW, &tio) == 0 ? CommError::None : CommError::InvalidSettings;
}

CommError SerialComm::set_Settings(std::string_view text) {
  const auto parsed = platform::parse_line_settings(text);
  if (!parsed) return CommError::InvalidSettings;
  settings_ = *parsed;
  return fd_ >= 0 ? apply(settings_) : CommError::None;
}

CommError SerialComm::set_InputLen(int16_t length) {
  if (length < 0) return CommError::InvalidSettings;
  input_len_ = length;
  return CommError::None;
}

CommError SerialComm::set_Output(std::string_view text) {
  if (fd_ < 0) return closed_error();
  for (int round = 0; !text.empty() && round < kMaxWriteRounds; ++round) {
    const ssize_t n = ::write(fd_, text.data(), text.size());
    if (n > 0) {
      text.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      lose_device();
      return CommError::DeviceGone;
    }
    pollfd p{fd_, POLLOUT, 0};
    if (::poll(&p, 1, kWriteStallMs) <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) break;
  }
  return CommError::None;
}

void SerialComm::drain() {
  std::array<char, 1024> chunk{};
  // Bounded: the device runs dry or a few buffers' worth has passed; bytes beyond the
  // buffer's room are read and dropped.
  for (size_t total = 0; fd_ >= 0 && total < 4 * platform::ReceiveBuffer::kCapacity;) {
    // A raw line without a minimum reads 0 bytes when idle, so a hang-up shows only in poll.
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0) return;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      lose_device();
      return;
    }
    if (!(p.revents & POLLIN)) return;
    const ssize_t n = ::read(fd_, chunk.data(), chunk.size());
    if (n > 0) {
      received_.append(std::string_view(chunk.data(), static_cast<size_t>(n)));
      total += static_cast<size_t>(n);
    } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
      lose_device();  // EIO: the device went away
    } else if (n == 0) {
      return;
    }
  }
}

CommError SerialComm::InBufferCount(int16_t& count) {
  drain();
  count = platform::clamp_count(received_.size());
  return fd_ >= 0 ? CommError::None : closed_error();
}

CommError SerialComm::Input(std::string& text) {
  drain();
  text = received_.take(static_cast<size_t>(input_len_));
  return fd_ >= 0 ? CommError::None : closed_error();
}

CommError SerialComm::closed_error() const {
  return device_gone_ ? CommError::DeviceGone : CommError::PortNotOpen;
}

}  // namespace nimbra::lnx
