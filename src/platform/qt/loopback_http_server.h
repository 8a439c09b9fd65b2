// SPDX-License-Identifier: MIT
// A small HTTP server on the loopback interface whose every answer a handler scripts byte by
// byte: what is sent, in which pieces, when, and whether the connection is then closed or left
// open without a word. It serves the service's hosts on a machine whose dial-up is simulated.
#pragma once

#include <QTcpServer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/scripted_reply.h"

namespace nimbra::qt {

class LoopbackHttpServer {
 public:
  using Reply = ScriptedReply;

  // Gets the request target ("/path?query") of a GET.
  using Handler = std::function<Reply(const std::string& target)>;

  // Listens on 127.0.0.1 at a free port; port() is 0 when it cannot listen.
  explicit LoopbackHttpServer(Handler handler);
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  uint16_t port() const { return server_.serverPort(); }

  // A request head longer than this is not answered; its connection is closed.
  static constexpr qsizetype kLongestHead = 8 * 1024;

 private:
  void accept();

  Handler handler_;
  QTcpServer server_;
};

// The target of a request head's first line "GET <target> HTTP/1.x"; empty for anything else.
std::string get_target(const std::string& head);

}  // namespace nimbra::qt
