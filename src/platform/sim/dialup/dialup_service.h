// SPDX-License-Identifier: MIT
// The machine's dial-up service: the phone book, the calls and the connections, shared by every
// program on the machine. A call walks the RAS states on a timer (virtual time in the simulated
// machine, real time on the desktop) and reports each state to the dialling program; a
// connection stays up in connections.ini until someone hangs it up.
//
// With a real line under it (pppd), the line carries the calls instead: the states are the
// line's, and a connection is up only while the line says so.
//
// The control face lets tests and tools decide how the next call ends, drop a connection and
// end them all.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/call_line.h"
#include "platform/clock.h"
#include "platform/ras.h"
#include "platform/sim/dialup/connections_file.h"
#include "platform/sim/dialup/dialup_settings.h"
#include "platform/sim/dialup/phonebook.h"
#include "platform/sim/dialup/ras_modems.h"
#include "platform/task_timer.h"

namespace nimbra::sim {

class DialupService {
 public:
  // Hears the states of one call: the state and the error code (0 = none).
  using Notify = std::function<void(uint32_t state, uint32_t error)>;

  // What the service sees of the machine's hardware.
  struct Hardware {
    std::function<std::vector<RasModem>()> modems;
    // 0 when the port can be opened for a call, else the RAS error of opening it.
    std::function<uint32_t(int16_t port)> open_port;
    // The real line calls go over; none on the simulated machine.
    platform::CallLine* line = nullptr;
  };

  // Brings the connections of other diallers that machine.ini names up. Throws MachineError.
  DialupService(const MachineConfig& config, platform::TaskTimer& timer, platform::Clock& clock,
                Hardware hardware);
  ~DialupService();
  DialupService(const DialupService&) = delete;
  DialupService& operator=(const DialupService&) = delete;

  const DialupSettings& settings() const { return settings_; }
  Phonebook& phonebook() { return phonebook_; }
  platform::CodePage code_page() const { return code_page_; }
  platform::Language language() const { return language_; }
  std::vector<RasModem> modems() const { return hardware_.modems(); }

  // Starts a call of the entry `params.entry_name` with these parameters (an empty phone number
  // dials the entry's own). With `notify` the call goes on by itself after this returns 0;
  // without it the call runs to its end first and its final code is returned. `owner` marks
  // the notifier so that it can be forgotten. `handle` is set when the call has started.
  uint32_t dial(const platform::DialParams& params, Notify notify, const void* owner,
                platform::HRASCONN& handle);

  // Ends a call or a connection; ERROR_INVALID_HANDLE_RAS for a handle that is neither.
  uint32_t hang_up(platform::HRASCONN handle);

  // Where the connections file is watched: see ConnectionsFile::set_change_source.
  void set_connections_change_source(std::function<bool()> changed) {
    connections_file_.set_change_source(std::move(changed));
  }

  // The connections that are up, in the order they came up.
  std::vector<Connection> connections() const { return live_table().up; }

  // The notifiers of `owner` are not called any more (its window went away).
  void forget(const void* owner);

  // Control face.
  // The next call fails with `error` at `at` (which is posted with the error).
  void fail_next_dial(uint32_t error, platform::RasConnState at);
  // The next RasDialA returns `error` at once.
  void refuse_next_dial(uint32_t error);
  // The connection drops: it goes away and its dialler hears RASCS_Disconnected with 668.
  // False when no such connection is up.
  bool drop(platform::HRASCONN handle);
  // Hangs up every call and connection; returns how many connections were up.
  size_t hang_up_all();
  // Calls started and not yet connected, failed or hung up.
  size_t calls_in_progress() const;

 private:
  struct Step {
    platform::RasConnState state;
    uint32_t delay_ms;
    uint32_t error;
  };
  struct Call {
    Connection connection;
    std::vector<Step> plan;
    size_t next = 0;
    Notify notify;
    const void* owner = nullptr;
    platform::TaskTimer::TaskId pending = 0;
    bool finished = false;  // connected or failed
    uint32_t error = 0;     // the error it failed with
  };
  struct Failure {
    uint32_t error;
    platform::RasConnState at;
  };

  // The checks RAS makes before the call starts; 0 when it may start.
  uint32_t refusal(const PhonebookEntry& entry, const ConnectionTable& table) const;
  std::optional<Failure> failure_for(const platform::DialParams& params);
  std::vector<Step> plan_for(const std::optional<Failure>& failure) const;
  // Takes the call's next step; returns the call's error once it failed.
  uint32_t advance(platform::HRASCONN handle);
  // The call reached `state`: the table and the dialler hear of it.
  void settle(platform::HRASCONN handle, platform::RasConnState state, uint32_t error);
  void hear_line(platform::HRASCONN handle, platform::RasConnState state, uint32_t error);
  uint32_t dial_on_line(const PhonebookEntry& entry, const platform::DialParams& params,
                        platform::HRASCONN handle);
  // Takes out the connections whose link is gone; true when there were any.
  bool drop_ended_links(ConnectionTable& table) const;
  // The table without connections whose link is gone (a line's link ended while no program
  // of ours watched it); the file is brought in line.
  ConnectionTable live_table() const;
  std::optional<RasModem> modem_of(const PhonebookEntry& entry) const;
  void schedule_next(platform::HRASCONN handle);
  void bring_up_other_connections();

  DialupSettings settings_;
  platform::CodePage code_page_;
  platform::Language language_;
  platform::TaskTimer& timer_;
  platform::Clock& clock_;
  Hardware hardware_;
  Phonebook phonebook_;
  ConnectionsFile connections_file_;
  std::map<platform::HRASCONN, Call> calls_;
  std::optional<Failure> next_failure_;
  std::optional<uint32_t> next_refusal_;
};

}  // namespace nimbra::sim
