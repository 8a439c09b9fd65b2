// SPDX-License-Identifier: MIT
// The real serial ports and the pppd line of a machine, as its machine.ini maps them.
#pragma once

#include <optional>

#include "platform/linux/pppd/pppd_line.h"
#include "platform/linux/serial/serial_comm.h"
#include "platform/sim/card/pty_card.h"
#include "platform/sim/machine/machine_config.h"

namespace nimbra::app {

// COM ports as machine.ini maps them, the simulated card's port (when `card` serves it) to its
// pseudo-terminal, any other port to /dev/ttyS<n-1>; locked in the machine's lock directory.
lnx::SerialOptions machine_serial_options(const sim::MachineConfig& config,
                                          const sim::PtyCard* card);

// The pppd line's options when machine.ini asks for pppd ([dialup] service = pppd); the last
// call's pppd lines are kept in the machine directory. The MTU is left to the caller.
std::optional<lnx::PppdOptions> machine_pppd_options(const sim::MachineConfig& config,
                                                     const sim::PtyCard* card);

}  // namespace nimbra::app
