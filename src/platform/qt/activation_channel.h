// SPDX-License-Identifier: MIT
// The request a starting instance sends to the running one: "bring the window with this title to
// the front". One connection to a Unix socket carries one title in UTF-8, ended by a newline.
// Plain sockets: the toolkit's network module would cost the program more than a megabyte of
// memory for this one request.
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace nimbra::qt {

// Longest request the server reads: the title and its newline.
inline constexpr qsizetype kMaxActivationRequest = 1024;

// Listens for activation requests and hands each well-formed title to the handler, on the thread
// that made the server. Oversized, malformed or silent requests are dropped. The socket is
// waited on by a thread of its own, asleep until a request comes: the user-interface thread
// wakes ten times a second for the status timer, and every descriptor its event loop watched
// would be polled at each of those wake-ups.
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
  // On the listening thread: one request at a time, until `stop_fd_` is signalled.
  void serve();
  void hand_over(std::string title);

  Handler handler_;
  QObject receiver_;  // of the making thread: titles reach the handler through its queue
  int listen_fd_ = -1;
  int stop_fd_ = -1;
  QString path_;
  std::thread listener_;
  QString error_;
};

// Sends `title` to the server and waits up to `timeout` for it to be written; false when the title
// cannot be framed or the server cannot be reached in time.
bool send_activation(const QString& server_name, std::string_view title,
                     std::chrono::milliseconds timeout);

}  // namespace nimbra::qt
