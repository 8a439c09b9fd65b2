// SPDX-License-Identifier: MIT
#include "platform/qt/loopback_http_server.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace nimbra::qt {

namespace {

constexpr std::string_view kBadRequest =
    "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

// Writes the reply's pieces one after the other on the event loop.
void send(QPointer<QTcpSocket> socket, std::shared_ptr<LoopbackHttpServer::Reply> reply,
          size_t next, uint32_t wait_ms) {
  QTimer::singleShot(static_cast<int>(wait_ms), socket, [socket, reply, next] {
    if (next == reply->segments.size()) {
      if (!reply->keep_open) socket->disconnectFromHost();
      return;
    }
    socket->write(reply->segments[next].data(), static_cast<qint64>(reply->segments[next].size()));
    socket->flush();
    send(socket, reply, next + 1, reply->gap_ms);
  });
}

}  // namespace

std::string get_target(const std::string& head) {
  const std::string line = head.substr(0, head.find("\r\n"));
  if (!line.starts_with("GET ")) return {};
  const size_t end = line.find(' ', 4);
  if (end == std::string::npos || end == 4 || !line.substr(end + 1).starts_with("HTTP/1."))
    return {};
  return line.substr(4, end - 4);
}

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { accept(); });
  server_.listen(QHostAddress::LocalHost, 0);
}

void LoopbackHttpServer::accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto head = std::make_shared<std::string>();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
      if (head->ends_with("\r\n\r\n")) return;  // answered already; more bytes are ignored
      *head += socket->read(kLongestHead - static_cast<qsizetype>(head->size())).toStdString();
      const size_t end = head->find("\r\n\r\n");
      if (end == std::string::npos) {
        if (static_cast<qsizetype>(head->size()) >= kLongestHead) socket->abort();
        return;
      }
      head->resize(end + 4);
      const std::string target = get_target(*head);
      auto reply = std::make_shared<Reply>(
          target.empty() ? Reply{0, {std::string(kBadRequest)}, 0, false} : handler_(target));
      send(socket, reply, 0, reply->delay_ms);
    });
  }
}

}  // namespace nimbra::qt
