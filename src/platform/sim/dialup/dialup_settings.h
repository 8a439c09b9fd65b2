// SPDX-License-Identifier: MIT
// How the machine's dial-up service answers, as machine.ini says:
//
//   [dialup]
//   outcome = connect            connect, fail (at fail_at with error) or refuse (RasDialA
//                                returns error at once)
//   error = 678                  the error of fail (default 678) or refuse (default 633)
//   fail_at = ConnectDevice      the dial state at which fail fails (the RAS state name)
//   accept = qenvora:qenvora, user2:secret
//                                the accounts the service lets in; any other fails with 691 at
//                                authentication. Without the key every account is let in.
//   other_connections = ISP1, ISP2
//                                entries of other diallers that are up when the machine starts
//   max_connections = 3          connections that can be up at once
//   service = simulated          simulated (the above), or pppd: calls go over the card's
//                                real serial port and the system's pppd (desktop program)
//   pppd = /usr/sbin/pppd        the pppd program the pppd service starts
//   peer = nimbra                its peers file in /etc/ppp/peers, which names the link too
//   run_dir = /var/run           where pppd keeps the link's pid file ppp-LINK.pid
//   lock_dir = /var/lock         where serial ports are locked (LCK..ttyACM0)
//   [ras]
//   entry_size = 2884            the default entry size RAS reports: 1672, 1768, 2088 or 2884;
//                                by default 1768 on 9x and NT 4, 2088 on 2000, 2884 on XP
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ras.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::sim {

enum class DialOutcome { Connect, Fail, Refuse };
enum class DialupKind { Simulated, Pppd };

struct Account {
  std::string user;  // UTF-8, as machine.ini holds it
  std::string password;
};

struct DialupSettings {
  DialOutcome outcome = DialOutcome::Connect;
  uint32_t error = 0;
  platform::RasConnState fail_at = platform::RASCS_ConnectDevice;
  std::vector<Account> accept;
  std::vector<std::string> other_connections;
  size_t max_connections = 3;
  DialupKind service = DialupKind::Simulated;
  std::string pppd_program = "/usr/sbin/pppd";
  std::string pppd_peer = "nimbra";
  std::string pppd_run_dir = "/var/run";
  std::string lock_dir = "/var/lock";
  uint32_t entry_size = 0;
  std::set<uint32_t> entry_sizes;  // the record sizes RAS of this Windows knows
  bool nt_family = true;

  // Reads [dialup] and [ras]; throws MachineError naming a malformed key.
  static DialupSettings load(const MachineConfig& config);
};

// The states of a call, in the order RAS walks them, with the time each takes to reach.
struct DialStep {
  platform::RasConnState state;
  uint32_t delay_ms;
};
const std::vector<DialStep>& dial_walk();

// "Authenticate", "RASCS_Authenticate" or the state's number; only states of the walk.
std::optional<platform::RasConnState> parse_dial_state(std::string_view name);
std::string_view dial_state_name(platform::RasConnState state);

bool is_nt_family(WindowsVersion windows);

}  // namespace nimbra::sim
