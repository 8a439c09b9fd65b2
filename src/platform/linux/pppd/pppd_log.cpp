// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/pppd_log.h"

#include <array>
#include <cerrno>

namespace nimbra::lnx {

namespace {

using namespace platform;

struct LinePrefix {
  std::string_view prefix;
  RasConnState state;
};

constexpr std::array kProgress{
    LinePrefix{"Using interface ", RASCS_Authenticate},
    LinePrefix{"Connect: ", RASCS_Authenticate},
    LinePrefix{"PAP authentication succeeded", RASCS_Authenticated},
    LinePrefix{"CHAP authentication succeeded", RASCS_Authenticated},
    LinePrefix{"EAP authentication succeeded", RASCS_Authenticated},
    LinePrefix{"local  IP address ", RASCS_Connected},
};

// pppd's exit statuses, in their order (see pppd(8), EXIT STATUS).
constexpr std::array<uint32_t, 20> kExitErrors{
    ERROR_DISCONNECTION,                // 0 ended before the link was up
    ERROR_PORT_OR_DEVICE,               // 1 fatal error
    ERROR_PORT_NOT_CONFIGURED,          // 2 options refused (the peers file is missing or wrong)
    ERROR_ACCESS_DENIED_RAS,            // 3 not setuid root, or the user may not run it
    ERROR_PPP_NO_PROTOCOLS_CONFIGURED,  // 4 the kernel has no PPP support
    ERROR_USER_DISCONNECTION,           // 5 ended by SIGINT, SIGTERM or SIGHUP
    ERROR_PORT_NOT_AVAILABLE,           // 6 the serial port is locked
    ERROR_PORT_NOT_AVAILABLE,           // 7 the serial port cannot be opened
    ERROR_PORT_OR_DEVICE,               // 8 connect script failed
    ERROR_PORT_OR_DEVICE,               // 9 pty command failed
    ERROR_PPP_LCP_TERMINATED,           // 10 negotiation failed
    ERROR_AUTH_INTERNAL,                // 11 the peer would not authenticate itself
    ERROR_DISCONNECTION,                // 12 idle
    ERROR_DISCONNECTION,                // 13 connect time limit
    ERROR_DISCONNECTION,                // 14 callback
    ERROR_PPP_TIMEOUT,                  // 15 the peer stopped answering echo requests
    ERROR_PORT_DISCONNECTED,            // 16 the modem hung up
    ERROR_PPP_LOOPBACK_DETECTED,        // 17 loopback
    ERROR_PORT_OR_DEVICE,               // 18 init script failed
    ERROR_AUTHENTICATION_FAILURE,       // 19 the peer refused our name and password
};

}  // namespace

std::optional<RasConnState> state_of_pppd_line(std::string_view line) {
  for (const LinePrefix& p : kProgress) {
    if (line.starts_with(p.prefix)) return p.state;
  }
  return std::nullopt;
}

bool says_authentication_failed(std::string_view line) {
  constexpr std::array kFailures{std::string_view("PAP authentication failed"),
                                 std::string_view("CHAP authentication failed"),
                                 std::string_view("EAP: peer reports authentication failure")};
  for (const std::string_view failure : kFailures) {
    if (line.starts_with(failure)) return true;
  }
  return false;
}

uint32_t ras_error_of_pppd_exit(int status) {
  if (status < 0 || static_cast<size_t>(status) >= kExitErrors.size()) return ERROR_UNKNOWN_RAS;
  return kExitErrors[static_cast<size_t>(status)];
}

uint32_t ras_error_of_pppd_start(int error_number) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR:
      return ERROR_RASMAN_CANNOT_INITIALIZE;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED_RAS;
    default:
      return ERROR_UNKNOWN_RAS;
  }
}

}  // namespace nimbra::lnx
