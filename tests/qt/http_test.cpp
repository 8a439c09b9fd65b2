// SPDX-License-Identifier: MIT
// The desktop HTTP client against a real server on the loopback interface, whose answers the
// tests script byte by byte.
#include <QTcpServer>
#include <QTest>
#include <optional>
#include <string>

#include "platform/qt/loopback_http_server.h"
#include "platform/qt/qt_http.h"
#include "qt_test_registry.h"

namespace nimbra::qt {
namespace {

using Reply = LoopbackHttpServer::Reply;

constexpr std::string_view kUrl = "http://limit.korvo-net.jp/limit/GetLimit.php?PHS=07012345678";

// One server whose next reply a test sets, and a client that sends every host to it.
struct Bench {
  explicit Bench(uint32_t timeout_ms = 5000)
      : server([this](const std::string& target) {
          targets.push_back(target);
          return reply;
        }),
        http({.timeout_ms = timeout_ms, .route = [this](const std::string&) {
                return HostRoute{HostRoute::Kind::Loopback, port.value_or(server.port())};
              }}) {}

  // Starts a GET and waits for its state event.
  int get(std::string_view url = kUrl) {
    int state = 0;
    http.get(url, [&state](int s) { state = s; });
    if (!QTest::qWaitFor([&state] { return state != 0; }, 10'000)) return 0;
    return state;
  }
  std::string body(size_t chunk = 1024) {
    std::string all;
    for (std::string piece = http.get_chunk(chunk); !piece.empty(); piece = http.get_chunk(chunk)) {
      all += piece;
    }
    return all;
  }

  Reply reply;
  std::vector<std::string> targets;
  std::optional<uint16_t> port;  // another port than the server's
  LoopbackHttpServer server;
  QtHttp http;
};

}  // namespace

class HttpTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qttest::fail_on_warnings(); }

  void answers_data() {
    QTest::addColumn<QStringList>("segments");
    QTest::addColumn<QString>("status_line");  // empty: the transfer fails, aborted
    QTest::addColumn<QString>("body");
    QTest::newRow("segments, headers split")
        << QStringList{"HTTP/1.1 200 O", "K\r\nContent-Length: 8\r\n\r\n27/0", "1/04"}
        << "HTTP/1.1 200 OK"
        << "27/01/04";
    QTest::newRow("chunked") << QStringList{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                            "4\r\n27/0\r\n",
                                            "4\r\n1/04\r\n0\r\n\r\n"}
                             << "HTTP/1.1 200 OK" << "27/01/04";
    // Every status with a whole body is an answer, whatever the toolkit thinks of the status.
    for (const char* status :
         {"400 Bad Request", "401 Unauthorized", "403 Forbidden", "404 Not Found",
          "407 Proxy Authentication Required", "418 I'm a teapot", "429 Too Many Requests",
          "500 Internal Server Error", "503 Service Unavailable",
          "505 HTTP Version Not Supported"}) {
      const QString line = QStringLiteral("HTTP/1.1 ") + QLatin1String(status);
      QTest::newRow(status) << QStringList{line + "\r\nContent-Length: 2\r\n\r\nno"} << line
                            << "no";
    }
    // A challenge is part of the answer: nobody is asked for a password, no proxy is tried.
    QTest::newRow("401 with a challenge")
        << QStringList{"HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"r\"\r\n"
                       "Content-Length: 2\r\n\r\nno"}
        << "HTTP/1.1 401 Unauthorized" << "no";
    QTest::newRow("407 with a challenge")
        << QStringList{"HTTP/1.1 407 Proxy Authentication Required\r\n"
                       "Proxy-Authenticate: Basic realm=\"r\"\r\nContent-Length: 2\r\n\r\nno"}
        << "HTTP/1.1 407 Proxy Authentication Required" << "no";
    QTest::newRow("redirect not followed") << QStringList{"HTTP/1.1 302 Found\r\nLocation: "
                                                          "http://127.0.0.1:1/x\r\n\r\n"}
                                           << "HTTP/1.1 302 Found" << "";
    QTest::newRow("body cut short")
        << QStringList{"HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n27/03/3"} << ""
        << "";
    QTest::newRow("closed without a word") << QStringList{} << ""
                                           << "";
  }

  // A whole answer, however it arrives, is a completed response with its status line and its
  // body without framing (other statuses too; a redirect is not followed); one broken off is a
  // failure, not a shorter answer.
  void answers() {
    QFETCH(QStringList, segments);
    QFETCH(QString, status_line);
    QFETCH(QString, body);
    Bench b;
    for (const QString& segment : segments) b.reply.segments.push_back(segment.toStdString());
    b.reply.gap_ms = 50;
    if (status_line.isEmpty()) {
      QCOMPARE(b.get(), platform::icError);
      QCOMPARE(b.http.error_code(), platform::ERROR_INTERNET_CONNECTION_ABORTED);
      return;
    }
    QCOMPARE(b.get(), platform::icResponseCompleted);
    QVERIFY(b.http.header_block().starts_with(status_line.toStdString() + "\r\n"));
    QCOMPARE(b.body(3), body.toStdString());
    QCOMPARE(b.targets.size(), size_t{1});
  }

  // A server that takes the request and never answers fails with the time-out.
  void silentServerTimesOut() {
    Bench b(300);
    b.reply = {0, {}, 0, true};
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(b.get(), platform::icError);
    QCOMPARE(b.http.error_code(), platform::ERROR_INTERNET_TIMEOUT);
    QCOMPARE(b.http.error_description(), std::string("The request timed out"));
    QVERIFY(clock.elapsed() >= 290 && clock.elapsed() < 5000);
  }

  // No one listening is a failure with its code.
  void refused() {
    Bench b;
    {
      QTcpServer gone;
      QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
      b.port = gone.serverPort();
    }
    QCOMPARE(b.get(), platform::icError);
    QCOMPARE(b.http.error_code(), platform::ERROR_INTERNET_CANNOT_CONNECT);
  }

  // A body far longer than the bound is cut off at it and the rest is not fetched.
  void hugeBodyIsCutOff() {
    Bench b;
    const size_t size = 8 * 1024 * 1024;
    b.reply = {
        0, {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n"}, 0, false};
    for (int i = 0; i < 8; ++i) b.reply.segments.push_back(std::string(1024 * 1024, 'x'));
    QCOMPARE(b.get(), platform::icResponseCompleted);
    QCOMPARE(b.body().size(), platform::kMaxHttpBody);
  }

  // An escaped number reaches the server exactly as escaped: "&", "/" and blanks add no
  // parameter and change no path; a malformed URL fails before any connection.
  void escapedNumberGoesAsItIs() {
    Bench b;
    b.reply = {0, {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"}, 0, false};
    const std::string target = "/limit/GetLimit.php?PHS=070%201%26x%3D2%2F..%2F9";
    QCOMPARE(b.get("http://limit.korvo-net.jp" + target), platform::icResponseCompleted);
    QCOMPARE(b.targets, std::vector<std::string>{target});
    QCOMPARE(b.get("http://limit.korvo-net.jp/limit/GetLimit.php?PHS=070 1"), platform::icError);
    QCOMPARE(b.http.error_code(), platform::ERROR_INTERNET_INVALID_URL);
    QCOMPARE(b.targets.size(), size_t{1});
  }
};

static nimbra::qttest::Register<HttpTest> reg;

}  // namespace nimbra::qt

#include "http_test.moc"
