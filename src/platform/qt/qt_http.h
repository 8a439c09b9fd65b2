// SPDX-License-Identifier: MIT
// The HTTP client on Qt Network. Requests run on the event loop and never block the window;
// each has a time-out, follows no redirect, and keeps at most kMaxHttpBody bytes of its body
// (a longer body is cut off there and the transfer stopped). Where a host's requests go is
// the machine's decision: its routing sends a host to the internet, to a port on the loopback
// interface, or nowhere.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/http.h"
#include "platform/web/http_url.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace nimbra::qt {

struct HostRoute {
  enum class Kind { Internet, Loopback, Unreachable };
  Kind kind = Kind::Internet;
  uint16_t port = 0;  // of Loopback
};

struct HttpOptions {
  uint32_t timeout_ms = platform::kHttpTimeoutMs;
  size_t max_body = platform::kMaxHttpBody;
  // The route of each host; without one every host is on the internet.
  std::function<HostRoute(const std::string& host)> route;
};

class QtHttp : public platform::Http {
 public:
  explicit QtHttp(HttpOptions options = {});
  ~QtHttp() override;
  QtHttp(const QtHttp&) = delete;
  QtHttp& operator=(const QtHttp&) = delete;

  void get(std::string_view url, StateHandler on_state) override;
  std::string header_block() override { return header_block_; }
  std::string get_chunk(size_t max_bytes) override;
  uint32_t error_code() override { return error_code_; }
  std::string error_description() override {
    return std::string(platform::describe_http_error(error_code_));
  }

 private:
  void drop_request();
  void take_body();
  void finished();
  void complete();
  void fail(uint32_t code);

  HttpOptions options_;
  QObject context_;  // the receiver of this client's connections
  std::unique_ptr<QNetworkAccessManager> manager_;
  // The machine's own hosts are never reached through a proxy the session names.
  std::unique_ptr<QNetworkAccessManager> loopback_manager_;
  QPointer<QNetworkReply> reply_;
  QTimer deadline_;
  StateHandler on_state_;
  bool timed_out_ = false;
  std::string header_block_;
  QByteArray body_;
  qsizetype body_read_ = 0;
  uint32_t error_code_ = 0;
  uint64_t requests_ = 0;  // a failure event of an earlier request is not delivered
};

}  // namespace nimbra::qt
