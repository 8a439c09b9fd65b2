// SPDX-License-Identifier: MIT
// The HTTP client control: one asynchronous GET at a time, whose outcome arrives as a state
// event on the user-interface thread, with the response (header block and body) or the failure
// (a code and a description) to read afterwards.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace nimbra::platform {

// The two states the program acts on; a client may report others, which are ignored.
inline constexpr int icError = 11;
inline constexpr int icResponseCompleted = 12;

// Failure codes of a transfer, as the Windows internet functions number them.
inline constexpr uint32_t ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr uint32_t ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr uint32_t ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr uint32_t ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr uint32_t ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr uint32_t ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;

// A client keeps at most this much of a body; the rest is not read.
inline constexpr size_t kMaxHttpBody = 64 * 1024;

// A request that has not completed in this time fails with ERROR_INTERNET_TIMEOUT.
inline constexpr uint32_t kHttpTimeoutMs = 30'000;

class Http {
 public:
  using StateHandler = std::function<void(int state)>;

  virtual ~Http() = default;

  // Starts a GET of `url` ("http://host[:port]/path?query", already escaped) and returns at
  // once; a request still running is dropped without an event. The outcome arrives later as
  // one call of `on_state`: icResponseCompleted, or icError with the failure to read. Redirects
  // are not followed: a redirect is a completed response like any other.
  virtual void get(std::string_view url, StateHandler on_state) = 0;

  // After icResponseCompleted: the status line and the header lines, each ended by CR LF.
  virtual std::string header_block() = 0;

  // After icResponseCompleted: the next up to `max_bytes` bytes of the body, empty at its end.
  virtual std::string get_chunk(size_t max_bytes) = 0;

  // After icError: the failure's code and its description.
  virtual uint32_t error_code() = 0;
  virtual std::string error_description() = 0;
};

}  // namespace nimbra::platform
