// Calls over a real modem and pppd: the program dials the modem itself on its serial port, then
// runs "pppd call PEER ..." on the connected line. The peers file (data/ppp/nimbra, installed as
// /etc/ppp/peers/nimbra) holds the options Debian's pppd takes only from there: noauth, the
// passwordfd plugin and the link name, which names pppd's pid file so that a later run of the
// program finds the link. The call moves on in steps on the task timer; nothing here waits on
// the modem or on pppd, except a hang-up for pppd to end (bounded).
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
#include "platform/linux/pppd/pppd_process.h"
#include "platform/linux/serial/serial_comm.h"
#include "platform/linux/pppd/text_lines.h"
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
  uint32_t stop_grace_ms = 3000;  // SIGTERM, then SIGKILL after this
  uint32_t step_ms = 50;
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
  void say(Active& call, platform::RasConnState state, uint32_t error = 0);
  void schedule(platform::HRASCONN handle);
  // Ends pppd and hangs the modem up; the call is forgotten.
  void finish(platform::HRASCONN handle);
  static void hang_up_modem(SerialComm& comm);
  std::string program_name() const;

  PppdOptions options_;
  platform::TaskTimer& timer_;
  std::map<platform::HRASCONN, Active> calls_;
};

}  // namespace nimbra::lnx
