// SPDX-License-Identifier: MIT
// What pppd tells about the link: its log lines (one per event, through its log descriptor)
// and its exit status, turned into the states and errors of a remote-access call.
//
//   log line                                   state
//   "Using interface ppp0", "Connect: ..."    RASCS_Authenticate
//   "PAP/CHAP authentication succeeded"        RASCS_Authenticated
//   "local  IP address 10.0.0.2"               RASCS_Connected
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/ras.h"

namespace nimbra::lnx {

// The state a log line moves the call to; nothing for lines that tell no progress.
std::optional<platform::RasConnState> state_of_pppd_line(std::string_view line);

// Whether the line says the peer refused our name and password. pppd's exit status does not
// always: a modem hang-up that follows overwrites it with 16.
bool says_authentication_failed(std::string_view line);

// The remote-access error of a pppd exit status, for a link that was never up.
uint32_t ras_error_of_pppd_exit(int status);

// The remote-access error of pppd failing to start (errno of exec).
uint32_t ras_error_of_pppd_start(int error_number);

}  // namespace nimbra::lnx
