// SPDX-License-Identifier: MIT
// The request a starting instance sends to the running one: "bring the window with this title to
// the front". One connection to a Unix socket carries one title in UTF-8, ended by a newline.
// Plain sockets watched by the event loop: the toolkit's network module would cost the program
// more than a megabyte of memory for this one request.
#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>

class QSocketNotifier;
class QTimer;

namespace nimbra::qt {

// Longest request the server reads: the title and its newline.
inline constexpr qsizetype kMaxActivationRequest = 1024;

// Listens for activation requests and hands each well-formed title to the handler, on the thread
// that owns the server. Oversized, malformed or silent requests are dropped.
class ActivationServer {
 public:
  using Handler = std::function<void(const std::string& title)>;

  explicit ActivationServer(Handler handler);
  ~ActivationServer();
  ActivationServer(const ActivationServer&) = delete;
  ActivationServer& operator=(const ActivationServer&) = delete;

  // Takes over the socket file `server_name`, removing one left behind by a holder that crashed;
  // only the holder of the instance lock may call this.
  bool listen(const QString& server_name);

  QString error_string() const { return error_; }

 private:
  struct Client {
    int fd = -1;
    QByteArray pending;
    QSocketNotifier* readable = nullptr;
    QTimer* timeout = nullptr;
  };

  void accept_pending();
  void read_request(Client& client);
  void drop(Client& client);

  Handler handler_;
  int listen_fd_ = -1;
  QString path_;
  std::unique_ptr<QSocketNotifier> incoming_;
  std::list<Client> clients_;
  QString error_;
};

// Sends `title` to the server and waits up to `timeout` for it to be written; false when the title
// cannot be framed or the server cannot be reached in time.
bool send_activation(const QString& server_name, std::string_view title,
                     std::chrono::milliseconds timeout);

}  // namespace nimbra::qt
