// SPDX-License-Identifier: MIT
#include "platform/qt/activation_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace nimbra::qt {
namespace {

// A client that connects and stays silent is dropped after this long.
constexpr std::chrono::milliseconds kRequestTimeout{2000};
// More simultaneous connections than this are refused at once.
constexpr size_t kMaxOpenConnections = 8;
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

}  // namespace

ActivationServer::ActivationServer(Handler handler) : handler_(std::move(handler)) {}

ActivationServer::~ActivationServer() {
  for (Client& client : clients_) {
    delete client.readable;
    delete client.timeout;
    ::close(client.fd);
  }
  if (listen_fd_ < 0) return;
  incoming_.reset();
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
  if (fd < 0) {
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  ::unlink(address->sun_path);
  // Only this user may send requests.
  const mode_t old_mask = ::umask(0077);
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
  ::umask(old_mask);
  if (!bound || ::listen(fd, static_cast<int>(kMaxOpenConnections)) != 0) {
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return false;
  }
  listen_fd_ = fd;
  path_ = server_name;
  incoming_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  QObject::connect(incoming_.get(), &QSocketNotifier::activated, incoming_.get(),
                   [this] { accept_pending(); });
  return true;
}

void ActivationServer::accept_pending() {
  for (;;) {
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    if (clients_.size() >= kMaxOpenConnections) {
      ::close(fd);
      continue;
    }
    Client& client = clients_.emplace_back();
    client.fd = fd;
    client.readable = new QSocketNotifier(fd, QSocketNotifier::Read);
    QObject::connect(client.readable, &QSocketNotifier::activated, client.readable,
                     [this, &client] { read_request(client); });
    client.timeout = new QTimer;
    client.timeout->setSingleShot(true);
    QObject::connect(client.timeout, &QTimer::timeout, client.timeout,
                     [this, &client] { drop(client); });
    client.timeout->start(kRequestTimeout);
  }
}

void ActivationServer::read_request(Client& client) {
  char buffer[kMaxActivationRequest];
  const auto room = static_cast<size_t>(kMaxActivationRequest - client.pending.size());
  const ssize_t got = ::recv(client.fd, buffer, room, 0);
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (got > 0) client.pending.append(buffer, got);
  const qsizetype end = client.pending.indexOf('\n');
  // Still on its way: neither a whole line, nor the end, nor the limit.
  if (end < 0 && got > 0 && client.pending.size() < kMaxActivationRequest) return;
  const QByteArray line = end < 0 ? QByteArray() : client.pending.left(end);
  drop(client);
  if (const auto title = title_of(line)) handler_(*title);
}

void ActivationServer::drop(Client& client) {
  // The notifier and the timer may be the ones calling: they go once control returns.
  client.readable->setEnabled(false);
  client.readable->deleteLater();
  client.timeout->stop();
  client.timeout->deleteLater();
  ::close(client.fd);
  clients_.remove_if([&](const Client& c) { return &c == &client; });
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
