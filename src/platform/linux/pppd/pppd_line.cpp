#include "platform/linux/pppd/pppd_line.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <chrono>
#include <thread>

#include "platform/linux/pppd/pppd_log.h"
#include "platform/linux/pppd/pppd_pid_file.h"

namespace nimbra::lnx {

namespace {

using namespace platform;

constexpr auto kDtrLowTime = std::chrono::milliseconds(200);
constexpr auto kGonePoll = std::chrono::milliseconds(20);

uint64_t now_ms() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

// The error of a link that ended before it was up: a status pppd chose, or a signal.
uint32_t error_of_end(int status) {
  return status >= 128 ? ERROR_DISCONNECTION : ras_error_of_pppd_exit(status);
}

}  // namespace

PppdLine::PppdLine(PppdOptions options, TaskTimer& timer)
    : options_(std::move(options)), timer_(timer) {}

PppdLine::~PppdLine() {
  // A link that is up stays up when the program ends; calls still being set up are given up.
  for (auto& [handle, call] : calls_) {
    timer_.cancel(call.pending);
    if (call.phase != Phase::Up) {
      if (call.pppd) call.pppd->stop(options_.stop_grace_ms);
      if (call.comm && call.comm->PortOpen()) hang_up_modem(*call.comm);
    }
  }
}

std::string PppdLine::program_name() const {
  return options_.program.filename().string();
}

std::vector<std::string> PppdLine::pppd_arguments(const Call& call) const {
  std::vector<std::string> argv{options_.program.string(),
                                "call",
                                options_.peer,
                                "nodetach",
                                "logfd",
                                std::to_string(kPppdLogFd),
                                "passwordfd",
                                std::to_string(kPppdPasswordFd)};
  if (!call.user.empty()) argv.insert(argv.end(), {"user", call.user});
  if (options_.mtu) {
    if (const auto mtu = options_.mtu(); mtu && *mtu > 0) {
      argv.insert(argv.end(), {"mtu", std::to_string(*mtu)});
    }
  }
  return argv;
}

uint32_t PppdLine::start(const Call& call, Report report) {
  // The modem carries one call, ours or another program run's.
  if (!calls_.empty() || live_pppd_of_link(options_.run_dir, options_.peer, program_name())) {
    return ERROR_PORT_NOT_AVAILABLE;
  }
  Active& active = calls_[call.handle];
  active.call = call;
  active.report = std::move(report);
  schedule(call.handle);
  return RAS_SUCCESS;
}

void PppdLine::schedule(HRASCONN handle) {
  calls_.at(handle).pending = timer_.after(options_.step_ms, [this, handle] {
    if (const auto it = calls_.find(handle); it != calls_.end()) {
      it->second.pending = 0;
      run_step(handle, true);
    }
  });
}

void PppdLine::run_step(HRASCONN handle, bool go_on) {
  Active& call = calls_.at(handle);
  const bool alive = step(call);
  std::vector<Said> said = std::move(call.said);
  call.said.clear();
  const Report report = call.report;
  if (!alive) {
    finish(handle);
  } else if (go_on) {
    schedule(handle);
  }
  // Reported last: the service may hang the call up from its report.
  for (const Said& s : said) report(handle, s.state, s.error);
}

bool PppdLine::step(Active& call) {
  switch (call.phase) {
    case Phase::OpenPort:
      return open_port(call);
    case Phase::Dial:
      return dial(call);
    case Phase::Link:
    case Phase::Up:
      return follow_pppd(call);
  }
  return false;
}

void PppdLine::say(Active& call, RasConnState state, uint32_t error) {
  call.last = state;
  call.said.push_back({state, error});
}

bool PppdLine::open_port(Active& call) {
  say(call, RASCS_OpenPort);
  call.comm = std::make_unique<SerialComm>(options_.serial);
  CommError error = call.comm->set_CommPort(call.call.port);
  if (error == CommError::None) error = call.comm->set_Settings(options_.line_settings);
  if (error == CommError::None) error = call.comm->set_PortOpen(true);
  if (error != CommError::None) {
    // Held by another program, or no such device.
    say(call, RASCS_OpenPort,
        error == CommError::PortInUse ? ERROR_PORT_NOT_AVAILABLE : ERROR_PORT_OR_DEVICE);
    return false;
  }
  say(call, RASCS_PortOpened);
  call.dialer = std::make_unique<ModemDialer>(*call.comm, call.call.number, options_.timing);
  call.dialer->begin(now_ms());
  call.phase = Phase::Dial;
  return true;
}

bool PppdLine::dial(Active& call) {
  const ModemDialer::Stage before = call.dialer->stage();
  const ModemDialer::Stage now = call.dialer->poll(now_ms());
  if (before == ModemDialer::Stage::Resetting && now != ModemDialer::Stage::Resetting &&
      now != ModemDialer::Stage::Failed) {
    say(call, RASCS_ConnectDevice);
  }
  if (now == ModemDialer::Stage::Failed) {
    say(call, call.last, call.dialer->error());
    return false;
  }
  if (now != ModemDialer::Stage::Connected) return true;
  say(call, RASCS_DeviceConnected);
  say(call, RASCS_AllDevicesConnected);
  int start_error = 0;
  call.pppd = PppdProcess::start(pppd_arguments(call.call), call.comm->native_handle(),
                                 call.call.password, start_error);
  if (!call.pppd) {
    say(call, RASCS_AllDevicesConnected, ras_error_of_pppd_start(start_error));
    return false;
  }
  call.phase = Phase::Link;
  return true;
}

bool PppdLine::follow_pppd(Active& call) {
  for (const std::string& line : call.log.feed(call.pppd->read_log())) {
    const auto state = state_of_pppd_line(line);
    // States only go forward; a repeated line says nothing new.
    if (!state || call.phase == Phase::Up || *state <= call.last) continue;
    say(call, *state);
    if (*state == RASCS_Connected) call.phase = Phase::Up;
  }
  const auto status = call.pppd->exit_status();
  if (!status) return true;
  // Lines written just before the end are still in the pipe.
  for (const std::string& line : call.log.feed(call.pppd->read_log())) {
    const auto state = state_of_pppd_line(line);
    if (state && call.phase != Phase::Up && *state > call.last) {
      say(call, *state);
      if (*state == RASCS_Connected) call.phase = Phase::Up;
    }
  }
  if (call.phase == Phase::Up) {
    say(call, RASCS_Disconnected, ERROR_NO_CONNECTION);
  } else {
    say(call, call.last, error_of_end(*status));
  }
  return false;
}

void PppdLine::wait_for_end(HRASCONN handle) {
  const auto it = calls_.find(handle);
  if (it == calls_.end()) return;
  timer_.cancel(it->second.pending);
  it->second.pending = 0;
  for (;;) {
    run_step(handle, false);
    const auto call = calls_.find(handle);
    if (call == calls_.end()) return;
    if (call->second.phase == Phase::Up) {
      schedule(handle);  // the link is followed on, for its end
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(options_.step_ms));
  }
}

void PppdLine::finish(HRASCONN handle) {
  const auto it = calls_.find(handle);
  if (it == calls_.end()) return;
  Active& call = it->second;
  timer_.cancel(call.pending);
  if (call.pppd) call.pppd->stop(options_.stop_grace_ms);
  if (call.comm && call.comm->PortOpen()) hang_up_modem(*call.comm);
  calls_.erase(it);
}

void PppdLine::hang_up_modem(SerialComm& comm) {
  // DTR low makes the modem drop the call; closing the port (HUPCL) keeps it low.
  int dtr = TIOCM_DTR;
  if (::ioctl(comm.native_handle(), TIOCMBIC, &dtr) == 0) std::this_thread::sleep_for(kDtrLowTime);
  comm.set_PortOpen(false);
}

void PppdLine::end(HRASCONN handle, std::string_view entry) {
  if (calls_.contains(handle)) {
    finish(handle);
    return;
  }
  if (entry.empty()) return;
  // Another program run's link: its pppd is not our child, so it is watched until it is gone.
  const auto pid = live_pppd_of_link(options_.run_dir, options_.peer, program_name());
  if (!pid) return;
  ::kill(*pid, SIGTERM);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.stop_grace_ms);
  while (live_pppd_of_link(options_.run_dir, options_.peer, program_name()) &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kGonePoll);
  }
  if (live_pppd_of_link(options_.run_dir, options_.peer, program_name())) ::kill(*pid, SIGKILL);
}

bool PppdLine::up(std::string_view entry) {
  for (const auto& [handle, call] : calls_) {
    if (call.call.entry == entry && call.phase == Phase::Up) return true;
  }
  return live_pppd_of_link(options_.run_dir, options_.peer, program_name()).has_value();
}

}  // namespace nimbra::lnx
