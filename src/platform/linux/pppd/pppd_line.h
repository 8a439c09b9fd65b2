// SPDX-License-Identifier: MIT
// Calls over a real modem and pppd: the program dials the modem itself on its serial port, then
// runs "pppd call PEER ..." on the connected line. The peers file (data/ppp/nimbra, installed as
// /etc/ppp/peers/nimbra) holds the options Debian's pppd takes only from there: noauth, the
// passwordfd plugin and the link name, which names pppd's pid file so that a later run of the
// program finds the link. The call moves on in steps on the task timer; nothing here waits on
// the modem or on pppd, except a hang-up for pppd to end (bounded: DTR low at 2 s, SIGKILL at
// 10 s). A link that is not up 90 s after pppd started is given up (error 718). Once pppd has
// the line the UUCP lock names pppd, and it keeps the lock and the exclusive mode when the
// program ends while the link is up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/call_line.h"
#include "platform/linux/pppd/modem_dialer.h"
#include "platform/linux/pppd/pppd_call_log.h"
#include "platform/linux/pppd/pppd_process.h"
#include "platform/linux/pppd/pppd_stop.h"
#include "platform/linux/pppd/text_lines.h"
#include "platform/linux/serial/serial_comm.h"
#include "platform/task_timer.h"

namespace nimbra::lnx {

struct PppdOptions {
  std::filesystem::path program = "/usr/sbin/pppd";
  // The peers file pppd is called with; it sets the link name to the same name.
  std::string peer = "nimbra";
  std::filesystem::path run_dir = "/var/run";  // where pppd keeps ppp-LINK.pid
  SerialOptions serial;
  std::string line_settings = "115200,N,8,1";
  // The MTU of the machine's dial-up adapter, when one is set.
  std::function<std::optional<uint32_t>()> mtu;
  DialTiming timing;
  uint32_t link_up_ms = 90000;  // from pppd's start to the link being up
  StopTiming stop;
  uint32_t step_ms = 50;
  // Where the last call's pppd lines are kept (pppd.log in the machine); none when empty.
  std::filesystem::path log_file;
};

class PppdLine : public platform::CallLine {
 public:
  PppdLine(PppdOptions options, platform::TaskTimer& timer);
  ~PppdLine() override;
  PppdLine(const PppdLine&) = delete;
  PppdLine& operator=(const PppdLine&) = delete;

  uint32_t start(const Call& call, Report report) override;
  void wait_for_end(platform::HRASCONN handle) override;
  void end(platform::HRASCONN handle, std::string_view entry) override;
  bool up(std::string_view entry) override;

  // The argument vector pppd is started with for a call (the password is not in it).
  std::vector<std::string> pppd_arguments(const Call& call) const;

  // Ends the link another program run brought up, as a hang-up does, and removes the line's
  // lock that its pppd held; nothing when no pppd of the link runs.
  struct LinkEnd {
    pid_t pid;
    StopOutcome outcome;
  };
  std::optional<LinkEnd> end_link();

 private:
  enum class Phase { OpenPort, Dial, Link, Up };
  struct Said {
    platform::RasConnState state;
    uint32_t error;
  };
  struct Active {
    Call call;
    Report report;
    Phase phase = Phase::OpenPort;
    platform::RasConnState last = platform::RASCS_OpenPort;
    std::unique_ptr<SerialComm> comm;
    std::unique_ptr<ModemDialer> dialer;
    std::unique_ptr<PppdProcess> pppd;
    TextLines log;
    uint64_t link_deadline_ms = 0;
    bool auth_failed = false;  // pppd's log said the peer refused the login
    platform::TaskTimer::TaskId pending = 0;
    std::vector<Said> said;  // states of the step under way, reported when it is done
  };

  // Takes the call's next step and reports it; `go_on` schedules the step after.
  void run_step(platform::HRASCONN handle, bool go_on);
  // False once the call is over (failed or dropped).
  bool step(Active& call);
  bool open_port(Active& call);
  bool dial(Active& call);
  bool follow_pppd(Active& call);
  // Takes what pppd has logged: the call log, the states, a refused login.
  void hear_pppd(Active& call);
  void say(Active& call, platform::RasConnState state, uint32_t error = 0);
  // A line of our own in the call log.
  void note(std::string text);
  void schedule(platform::HRASCONN handle);
  // Hangs the call up; it is forgotten.
  void finish(platform::HRASCONN handle);
  // Ends pppd and hangs the modem up.
  void hang_up(Active& call);
  std::string program_name() const;

  PppdOptions options_;
  platform::TaskTimer& timer_;
  PppdCallLog call_log_;
  std::map<platform::HRASCONN, Active> calls_;
};

}  // namespace nimbra::lnx
