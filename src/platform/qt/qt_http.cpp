// SPDX-License-Identifier: MIT
#include "platform/qt/qt_http.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace nimbra::qt {

namespace {

uint32_t failure_code(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
      return platform::ERROR_INTERNET_CANNOT_CONNECT;
    case QNetworkReply::HostNotFoundError:
      return platform::ERROR_INTERNET_NAME_NOT_RESOLVED;
    case QNetworkReply::TimeoutError:
      return platform::ERROR_INTERNET_TIMEOUT;
    case QNetworkReply::RemoteHostClosedError:
      return platform::ERROR_INTERNET_CONNECTION_ABORTED;
    default:
      return platform::ERROR_HTTP_INVALID_SERVER_RESPONSE;
  }
}

// The errors the toolkit reports for a whole answer because of its status alone. An answer is
// an answer whatever its status; any other error is a failure of the transfer itself (a body
// that broke off is no answer: a date cut short may still read as a date).
bool status_only(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::NoError:
    case QNetworkReply::ProtocolInvalidOperationError:     // 400, 418
    case QNetworkReply::ProxyAuthenticationRequiredError:  // 407
      return true;
    default:
      // 401, 403, 404 and the other 4xx; 500, 503 and the other 5xx.
      return (error >= QNetworkReply::ContentAccessDenied &&
              error <= QNetworkReply::UnknownContentError) ||
             (error >= QNetworkReply::InternalServerError &&
              error <= QNetworkReply::UnknownServerError);
  }
}

}  // namespace

QtHttp::QtHttp(HttpOptions options)
    : options_(std::move(options)),
      manager_(std::make_unique<QNetworkAccessManager>()),
      loopback_manager_(std::make_unique<QNetworkAccessManager>()) {
  loopback_manager_->setProxy(QNetworkProxy::NoProxy);
  deadline_.setSingleShot(true);
  QObject::connect(&deadline_, &QTimer::timeout, &context_, [this] {
    timed_out_ = true;
    if (reply_) reply_->abort();  // finished follows at once
  });
}

QtHttp::~QtHttp() {
  drop_request();
}

void QtHttp::drop_request() {
  deadline_.stop();
  if (reply_) {
    QObject::disconnect(reply_, nullptr, &context_, nullptr);
    reply_->abort();
    reply_->deleteLater();
  }
  reply_ = nullptr;
}

void QtHttp::get(std::string_view url, StateHandler on_state) {
  drop_request();
  ++requests_;
  on_state_ = std::move(on_state);
  timed_out_ = false;
  header_block_.clear();
  body_.clear();
  body_read_ = 0;
  platform::HttpUrl parsed;
  if (!platform::parse_http_url(url, parsed)) {
    fail(platform::ERROR_INTERNET_INVALID_URL);
    return;
  }
  const HostRoute route = options_.route ? options_.route(parsed.host) : HostRoute{};
  QUrl target(QString::fromStdString(std::string(url)), QUrl::StrictMode);
  QNetworkRequest request;
  if (route.kind == HostRoute::Kind::Unreachable) {
    fail(platform::ERROR_INTERNET_CANNOT_CONNECT);
    return;
  }
  if (route.kind == HostRoute::Kind::Loopback) {
    target = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(route.port) +
                      QString::fromStdString(parsed.target),
                  QUrl::StrictMode);
    request.setRawHeader("Host", QByteArray::fromStdString(parsed.host));
  }
  request.setUrl(target);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
  reply_ = (route.kind == HostRoute::Kind::Loopback ? loopback_manager_ : manager_)->get(request);
  QObject::connect(reply_, &QNetworkReply::readyRead, &context_, [this] { take_body(); });
  QObject::connect(reply_, &QNetworkReply::finished, &context_, [this] { finished(); });
  deadline_.start(static_cast<int>(options_.timeout_ms));
}

void QtHttp::take_body() {
  const qsizetype room = static_cast<qsizetype>(options_.max_body) - body_.size();
  body_ += reply_->read(room);
  // More than the bound: what came so far is the answer, the rest is not fetched.
  if (body_.size() >= static_cast<qsizetype>(options_.max_body) && reply_->bytesAvailable() > 0) {
    complete();
  }
}

void QtHttp::finished() {
  const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (timed_out_) {
    fail(platform::ERROR_INTERNET_TIMEOUT);
  } else if (status.isValid() && status_only(reply_->error())) {
    take_body();
    if (reply_) complete();
  } else {
    fail(failure_code(reply_->error()));
  }
}

void QtHttp::complete() {
  const QString reason = reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
  header_block_ =
      "HTTP/1.1 " +
      std::to_string(reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
  if (!reason.isEmpty()) header_block_ += " " + reason.toStdString();
  header_block_ += "\r\n";
  for (const auto& [name, value] : reply_->rawHeaderPairs()) {
    header_block_ += name.toStdString() + ": " + value.toStdString() + "\r\n";
  }
  drop_request();
  if (on_state_) on_state_(platform::icResponseCompleted);
}

void QtHttp::fail(uint32_t code) {
  drop_request();
  error_code_ = code;
  // The outcome is an event: it never arrives inside get().
  QTimer::singleShot(0, &context_, [this, request = requests_, on_state = on_state_] {
    if (request == requests_ && on_state) on_state(platform::icError);
  });
}

std::string QtHttp::get_chunk(size_t max_bytes) {
  const QByteArray chunk = body_.mid(body_read_, static_cast<qsizetype>(max_bytes));
  body_read_ += chunk.size();
  return chunk.toStdString();
}

}  // namespace nimbra::qt
