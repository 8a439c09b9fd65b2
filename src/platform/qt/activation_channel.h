// The request a starting instance sends to the running one: "bring the window with this title to
// the front". One connection carries one title in UTF-8, ended by a newline.
#pragma once

#include <QLocalServer>
#include <QString>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

class QLocalSocket;

namespace nimbra::qt {

// Longest request the server reads: the title and its newline.
inline constexpr qsizetype kMaxActivationRequest = 1024;

// Listens for activation requests and hands each well-formed title to the handler, on the thread
// that owns the server. Oversized, malformed or silent requests are dropped.
class ActivationServer {
 public:
  using Handler = std::function<void(const std::string& title)>;

  explicit ActivationServer(Handler handler);

  // Takes over `server_name`, removing a socket left behind by a holder that crashed; only the
  // holder of the instance lock may call this.
  bool listen(const QString& server_name);

  QString error_string() const { return server_.errorString(); }

 private:
  void accept_pending();
  void read_request(QLocalSocket* socket);

  Handler handler_;
  QLocalServer server_;
};

// Sends `title` to the server and waits up to `timeout` for it to be written; false when the title
// cannot be framed or the server cannot be reached in time.
bool send_activation(const QString& server_name, std::string_view title,
                     std::chrono::milliseconds timeout);

}  // namespace nimbra::qt
