#include "platform/qt/activation_channel.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace nimbra::qt {
namespace {

// A client that connects and stays silent is dropped after this long.
constexpr std::chrono::milliseconds kRequestTimeout{2000};
// More simultaneous connections than this are refused at once.
constexpr qsizetype kMaxOpenConnections = 8;
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

}  // namespace

ActivationServer::ActivationServer(Handler handler) : handler_(std::move(handler)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] { accept_pending(); });
}

bool ActivationServer::listen(const QString& server_name) {
  QLocalServer::removeServer(server_name);
  return server_.listen(server_name);
}

void ActivationServer::accept_pending() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    if (server_.findChildren<QLocalSocket*>().size() > kMaxOpenConnections) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    socket->setReadBufferSize(kMaxActivationRequest);
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket,
                     [this, socket] { read_request(socket); });
    QTimer::singleShot(kRequestTimeout, socket, [socket] {
      socket->abort();
      socket->deleteLater();
    });
    // Bytes may have arrived before the connections above were made.
    if (socket->bytesAvailable() > 0) read_request(socket);
  }
}

void ActivationServer::read_request(QLocalSocket* socket) {
  const QByteArray pending = socket->peek(kMaxActivationRequest);
  const qsizetype end = pending.indexOf('\n');
  if (end < 0 && pending.size() < kMaxActivationRequest) return;  // the rest is on its way
  socket->abort();
  socket->deleteLater();
  if (end < 0) return;
  if (const auto title = title_of(pending.left(end))) handler_(*title);
}

bool send_activation(const QString& server_name, std::string_view title,
                     std::chrono::milliseconds timeout) {
  QByteArray request(title.data(), static_cast<qsizetype>(title.size()));
  if (request.contains('\n') || request.size() >= kMaxActivationRequest) return false;
  request.append('\n');

  const QDeadlineTimer deadline(timeout);
  QLocalSocket socket;
  // The holder takes the lock before it listens, so a fresh holder may not be listening yet.
  for (;;) {
    socket.connectToServer(server_name);
    if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) break;
    if (deadline.hasExpired()) return false;
    QThread::msleep(static_cast<unsigned long>(kConnectRetryPause.count()));
  }
  socket.write(request);
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return false;
  }
  socket.disconnectFromServer();
  return true;
}

}  // namespace nimbra::qt
