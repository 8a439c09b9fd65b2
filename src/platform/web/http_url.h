// SPDX-License-Identifier: MIT
// What the HTTP clients share: the description of each failure code and the URL form the
// program requests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/http.h"

namespace nimbra::platform {

// The description a client gives with each failure code above.
std::string_view describe_http_error(uint32_t code);

// Splits "http://host[:port]/path?query" into its host and the request target; false for any
// other form.
struct HttpUrl {
  std::string host;
  uint16_t port = 80;
  std::string target;  // "/path?query"; "/" when the URL has none
};
bool parse_http_url(std::string_view url, HttpUrl& parsed);

}  // namespace nimbra::platform
