// SPDX-License-Identifier: MIT
#include "platform/qt/activation_channel.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QMetaObject>
#include <QStringDecoder>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>

namespace nimbra::qt {
namespace {

// A client that connects and stays silent is dropped after this long.
constexpr std::chrono::milliseconds kRequestTimeout{2000};
// Connections that wait while one request is read.
constexpr int kBacklog = 8;
// Pause after a connection could not be taken for want of resources.
constexpr int kBusyPauseMs = 100;
// Pause between attempts while the holder is still starting to listen.
constexpr std::chrono::milliseconds kConnectRetryPause{20};

// The title of a request line, or nothing when it is not valid UTF-8 text.
std::optional<std::string> title_of(const QByteArray& line) {
  if (line.isEmpty()) return std::nullopt;
  const bool has_control = std::any_of(line.begin(), line.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
  if (has_control) return std::nullopt;
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder(line);
  if (decoder.hasError()) return std::nullopt;
  return text.toStdString();
}

// The socket address of a file path; nothing when the path does not fit.
std::optional<sockaddr_un> address_of(const QString& path) {
  const QByteArray file = QFile::encodeName(path);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (file.isEmpty() || static_cast<size_t>(file.size()) >= sizeof address.sun_path) {
    return std::nullopt;
  }
  std::memcpy(address.sun_path, file.constData(), static_cast<size_t>(file.size()));
  return address;
}

enum class Wait { Ready, Stopped, TimedOut };

// Waits until `fd` (none when negative) is readable or `stop_fd` is signalled, at most
// `timeout_ms` (forever when negative).
Wait wait_readable(int fd, int stop_fd, int timeout_ms) {
  pollfd watched[2] = {{stop_fd, POLLIN, 0}, {fd, POLLIN, 0}};
  const int ready = ::poll(watched, fd < 0 ? 1 : 2, timeout_ms);
  if (ready < 0) return errno == EINTR ? Wait::TimedOut : Wait::Stopped;
  if (watched[0].revents != 0) return Wait::Stopped;
  return ready > 0 ? Wait::Ready : Wait::TimedOut;
}

// The title of the one line a client sends; nothing when it is not valid, too long, or not
// complete within the time allowed.
std::optional<std::string> read_request(int fd, int stop_fd) {
  const QDeadlineTimer deadline(kRequestTimeout);
  QByteArray pending;
  while (pending.size() < kMaxActivationRequest) {
    if (deadline.hasExpired()) return std::nullopt;
    const Wait waited = wait_readable(fd, stop_fd, static_cast<int>(deadline.remainingTime()));
    if (waited == Wait::Stopped) return std::nullopt;
    if (waited == Wait::TimedOut) continue;
    char buffer[kMaxActivationRequest];
    const auto room = static_cast<size_t>(kMaxActivationRequest - pending.size());
    const ssize_t got = ::recv(fd, buffer, room, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (got <= 0) return std::nullopt;
    pending.append(buffer, got);
    if (const qsizetype end = pending.indexOf('\n'); end >= 0) return title_of(pending.left(end));
  }
  return std::nullopt;
}

}  // namespace

ActivationServer::ActivationServer(Handler handler) : handler_(std::move(handler)) {}

ActivationServer::~ActivationServer() {
  if (listener_.joinable()) {
    const uint64_t stop = 1;
    while (::write(stop_fd_, &stop, sizeof stop) < 0 && errno == EINTR) {
    }
    listener_.join();
  }
  if (stop_fd_ >= 0) ::close(stop_fd_);
  if (listen_fd_ < 0) return;
  ::close(listen_fd_);
  ::unlink(QFile::encodeName(path_).constData());
}

bool ActivationServer::listen(const QString& server_name) {
  const auto address = address_of(server_name);
  if (!address) {
    error_ = QStringLiteral("the socket path is too long");
    return false;
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  const int stop_fd = ::eventfd(0, EFD_CLOEXEC);
  if (fd < 0 || stop_fd < 0) {
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0) ::close(fd);
    if (stop_fd >= 0) ::close(stop_fd);
    return false;
  }
  ::unlink(address->sun_path);
  // Only this user may send requests.
  const mode_t old_mask = ::umask(0077);
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
  ::umask(old_mask);
  if (!bound || ::listen(fd, kBacklog) != 0) {
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    ::close(stop_fd);
    return false;
  }
  listen_fd_ = fd;
  stop_fd_ = stop_fd;
  path_ = server_name;
  try {
    listener_ = std::thread([this] { serve(); });
  } catch (const std::system_error& e) {
    error_ = QString::fromLocal8Bit(e.what());
    return false;
  }
  return true;
}

void ActivationServer::serve() {
  for (;;) {
    const Wait waited = wait_readable(listen_fd_, stop_fd_, -1);
    if (waited == Wait::Stopped) return;
    if (waited == Wait::TimedOut) continue;  // a signal came in between
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      // Out of descriptors or memory: pause rather than spin on a connection it cannot take.
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        if (wait_readable(-1, stop_fd_, kBusyPauseMs) == Wait::Stopped) return;
      }
      continue;
    }
    std::optional<std::string> title = read_request(fd, stop_fd_);
    ::close(fd);
    if (title) hand_over(std::move(*title));
  }
}

void ActivationServer::hand_over(std::string title) {
  QMetaObject::invokeMethod(
      &receiver_, [this, title = std::move(title)] { handler_(title); }, Qt::QueuedConnection);
}

bool send_activation(const QString& server_name, std::string_view title,
                     std::chrono::milliseconds timeout) {
  QByteArray request(title.data(), static_cast<qsizetype>(title.size()));
  if (request.contains('\n') || request.size() >= kMaxActivationRequest) return false;
  request.append('\n');
  const auto address = address_of(server_name);
  if (!address) return false;

  const QDeadlineTimer deadline(timeout);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // The holder takes the lock before it listens, so a fresh holder may not be listening yet.
  while (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
    if (deadline.hasExpired()) {
      ::close(fd);
      return false;
    }
    QThread::msleep(static_cast<unsigned long>(kConnectRetryPause.count()));
  }
  qsizetype sent = 0;
  while (sent < request.size()) {
    const ssize_t n = ::send(fd, request.constData() + sent,
                             static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
    if (n > 0) {
      sent += n;
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) break;
    pollfd writable{fd, POLLOUT, 0};
    if (deadline.hasExpired() ||
        ::poll(&writable, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
      break;
    }
  }
  ::close(fd);
  return sent == request.size();
}

}  // namespace nimbra::qt
