// SPDX-License-Identifier: MIT
// A machine whose calls the stand-in pppd carries over the card simulator, as the pppd tests
// set it up in a test directory.
#pragma once

#include <cstdlib>
#include <filesystem>

#include "nimbra_test/test_machine.h"
#include "platform/linux/pppd/pppd_call_log.h"
#include "platform/linux/pppd/pppd_line.h"
#include "platform/sim/card/pty_card.h"
#include "platform/sim/dialup/phonebook.h"
#include "platform/sim/dialup/ras_modems.h"

namespace nimbra::test {

// The machine in DIR/machine with the card on COM3; the stand-in reads its script from
// DIR/script and keeps its pid file in DIR/run.
inline void make_stand_in_machine(const std::filesystem::path& dir) {
  sim::create_machine(dir / "machine", with_card());
  std::filesystem::create_directories(dir / "run");
  std::filesystem::create_directories(dir / "lock");
  ::setenv("NIMBRA_STAND_IN_SCRIPT", (dir / "script").c_str(), 1);
  ::setenv("NIMBRA_STAND_IN_RUN", (dir / "run").c_str(), 1);
}

// The stand-in pppd on the card simulator's port, with short waits.
inline lnx::PppdOptions stand_in_options(const std::filesystem::path& dir,
                                         const sim::PtyCard& card) {
  lnx::PppdOptions o;
  o.program = NIMBRA_STAND_IN_PPPD;
  o.run_dir = dir / "run";
  o.serial.device_of = [path = card.slave_path()](int16_t) { return path; };
  o.serial.lock_dir = dir / "lock";
  o.timing = {300, 1000};
  o.link_up_ms = 4000;
  o.stop = {100, 300};
  o.step_ms = 10;
  o.log_file = dir / "machine" / lnx::kPppdCallLogFile;
  return o;
}

// The program's entry KVAUTODL, dialled on `modem`.
inline void store_stand_in_entry(sim::Phonebook& phonebook, const sim::RasModem& modem) {
  sim::EntryProperties entry;
  entry.record_size = 2884;
  entry.local_phone = "0570012345";
  entry.device_type = "modem";
  entry.device_name = modem.name;
  phonebook.store_properties("KVAUTODL", entry);
  phonebook.store_dial_params("KVAUTODL", {"KVAUTODL", "", "", "qenvora", "", ""}, false);
}

}  // namespace nimbra::test
