// SPDX-License-Identifier: MIT
// The service's validity server as the simulated machine serves it. A machine whose dial-up
// service is simulated serves the service's hosts itself, and only while its call is up. What the
// server answers to GET /limit/GetLimit.php?PHS=<number> is set in machine.ini:
//
//   [validity]
//   date = 27/03/31        the date answered (the service's YY/MM/DD form); by default the day
//                          days_left days after the machine's today
//   days_left = 90
//   status = 200 OK        the status code and reason of the answer
//   body = text            sent in place of the date, as it is (a broken answer)
//   delay_ms = 0           how long the server takes before it answers
//   answer = normal        normal; silent: accepts the request and never answers; close: closes
//                          the connection without a word
//
// Any other path of a service host is answered with 404.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/sim/dialup/dialup_service.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

// Hosts of this domain belong to the service.
inline constexpr std::string_view kServiceDomain = ".korvo-net.jp";

struct ServiceAnswer {
  enum class Kind {
    Respond,      // the status line, headers and body after delay_ms
    Silent,       // the request is taken and never answered
    Close,        // the connection is closed after delay_ms without an answer
    Unreachable,  // no call is up: the host cannot be reached
  };
  Kind kind = Kind::Respond;
  uint32_t delay_ms = 0;
  std::string status_line;  // "HTTP/1.1 200 OK"
  std::string body;

  // The header block: the status line and the header lines, each ended by CR LF.
  std::string header_block() const;
  // The whole answer as it goes on the wire.
  std::string bytes() const { return header_block() + "\r\n" + body; }
};

struct ValiditySettings {
  std::optional<std::string> date;
  uint32_t days_left = 90;
  std::string status = "200 OK";
  std::optional<std::string> body;
  uint32_t delay_ms = 0;
  ServiceAnswer::Kind answer = ServiceAnswer::Kind::Respond;

  // Reads [validity]; throws MachineError naming a malformed key.
  static ValiditySettings load(const platform::IniFile& ini);
};

// True while a call to the service is up on the machine: a connection of an entry that is not
// one of the other diallers' (which go to other providers).
bool service_call_up(const DialupService& dialup);

class ValidityServer {
 public:
  // `call_up` tells whether the machine's call to the service is up now.
  ValidityServer(const MachineConfig& config, platform::Clock& clock,
                 std::function<bool()> call_up);

  static bool serves(std::string_view host);

  // The answer to a GET of `target` ("/path?query") on one of the service's hosts.
  ServiceAnswer answer(std::string_view target) const;

 private:
  ValiditySettings settings_;
  platform::Clock& clock_;
  std::function<bool()> call_up_;
};

}  // namespace nimbra::sim
