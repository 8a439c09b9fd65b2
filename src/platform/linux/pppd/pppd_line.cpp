// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/pppd_line.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/linux/pppd/pppd_log.h"
#include "platform/linux/pppd/pppd_pid_file.h"

namespace nimbra::lnx {

namespace {

using namespace platform;

constexpr auto kDtrLowTime = std::chrono::milliseconds(200);
// The MTUs pppd accepts; any other ends it at once with an option error.
constexpr uint32_t kPppdMinMtu = 128;
constexpr uint32_t kPppdMaxMtu = 16384;
// The COM ports a machine can map to devices.
constexpr int16_t kLastPort = 16;
// The peers file says crtscts: the dial uses the flow control the link will use.
constexpr bool kRtsCts = true;

uint64_t now_ms() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

// The error of a link that ended before it was up: a status pppd chose, or a signal.
uint32_t error_of_end(int status) {
  return status >= 128 ? ERROR_DISCONNECTION : ras_error_of_pppd_exit(status);
}

// The error of a port that would not open.
uint32_t error_of_open(const SerialComm& comm, CommError error) {
  if (comm.access_denied()) return ERROR_ACCESS_DENIED_RAS;  // not in group dialout
  return error == CommError::PortInUse ? ERROR_PORT_NOT_AVAILABLE : ERROR_PORT_OR_DEVICE;
}

void drop_dtr(SerialComm& comm) {
  int dtr = TIOCM_DTR;
  ::ioctl(comm.native_handle(), TIOCMBIC, &dtr);
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

}  // namespace

PppdLine::PppdLine(PppdOptions options, TaskTimer& timer)
    : options_(std::move(options)), timer_(timer), call_log_(options_.log_file) {}

PppdLine::~PppdLine() {
  // A link that is up stays up when the program ends, and pppd keeps the line's lock and its
  // exclusive mode; calls still being set up are given up.
  for (auto& [handle, call] : calls_) {
    timer_.cancel(call.pending);
    if (call.phase != Phase::Up) hang_up(call);
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
      // Bounded rather than left out: the nearest MTU pppd takes is closest to the one asked.
      argv.insert(argv.end(), {"mtu", std::to_string(std::clamp(*mtu, kPppdMinMtu, kPppdMaxMtu))});
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

void PppdLine::note(std::string text) {
  call_log_.add("nimbra: " + std::move(text));
  call_log_.save();
}

bool PppdLine::open_port(Active& call) {
  say(call, RASCS_OpenPort);
  SerialOptions serial = options_.serial;
  serial.rts_cts = kRtsCts;
  call.comm = std::make_unique<SerialComm>(serial);
  CommError error = call.comm->set_CommPort(call.call.port);
  if (error == CommError::None) error = call.comm->set_Settings(options_.line_settings);
  if (error == CommError::None) error = call.comm->set_PortOpen(true);
  if (error != CommError::None) {
    say(call, RASCS_OpenPort, error_of_open(*call.comm, error));
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
  const std::vector<std::string> argv = pppd_arguments(call.call);
  call_log_.begin();
  note("started " + joined(argv));
  int start_error = 0;
  call.pppd = PppdProcess::start(argv, call.comm->native_handle(), call.call.password, start_error);
  if (!call.pppd) {
    note("pppd could not be started: " + std::string(std::strerror(start_error)));
    say(call, RASCS_AllDevicesConnected, ras_error_of_pppd_start(start_error));
    return false;
  }
  call.comm->hand_over(call.pppd->pid());
  call.link_deadline_ms = now_ms() + options_.link_up_ms;
  call.phase = Phase::Link;
  return true;
}

void PppdLine::hear_pppd(Active& call) {
  const std::vector<std::string> lines = call.log.feed(call.pppd->read_log());
  for (const std::string& line : lines) {
    call_log_.add(line);
    if (says_authentication_failed(line)) call.auth_failed = true;
    const auto state = state_of_pppd_line(line);
    // States only go forward; a repeated line says nothing new.
    if (!state || call.phase == Phase::Up || *state <= call.last) continue;
    say(call, *state);
    if (*state == RASCS_Connected) call.phase = Phase::Up;
  }
  if (!lines.empty()) call_log_.save();
}

bool PppdLine::follow_pppd(Active& call) {
  hear_pppd(call);
  const auto status = call.pppd->exit_status();
  if (!status) {
    if (call.phase == Phase::Up || now_ms() < call.link_deadline_ms) return true;
    // A modem that never raises carrier, or a peer that never finishes the negotiation.
    note("the link was not up within " + std::to_string(options_.link_up_ms / 1000) +
         " s; pppd is stopped");
    say(call, call.last, ERROR_PPP_TIMEOUT);
    return false;
  }
  hear_pppd(call);  // lines written just before the end are still in the pipe
  note("pppd ended with status " + std::to_string(*status));
  if (call.phase == Phase::Up) {
    say(call, RASCS_Disconnected, ERROR_NO_CONNECTION);
  } else {
    // A modem hang-up after a refused login overwrites pppd's status 19 with 16.
    say(call, call.last, call.auth_failed ? ERROR_AUTHENTICATION_FAILURE : error_of_end(*status));
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
  timer_.cancel(it->second.pending);
  hang_up(it->second);
  calls_.erase(it);
}

void PppdLine::hang_up(Active& call) {
  if (call.pppd) {
    const auto outcome = call.pppd->stop(options_.stop, [&call] { drop_dtr(*call.comm); });
    if (outcome == StopOutcome::Killed) note("pppd did not end on SIGTERM and was killed");
    call.comm->take_back();
  }
  if (call.comm && call.comm->PortOpen()) {
    // DTR low makes the modem drop the call; closing the port (HUPCL) keeps it low.
    drop_dtr(*call.comm);
    std::this_thread::sleep_for(kDtrLowTime);
    call.comm->set_PortOpen(false);
  }
}

void PppdLine::end(HRASCONN handle, std::string_view entry) {
  if (calls_.contains(handle)) {
    finish(handle);
  } else if (!entry.empty()) {
    end_link();
  }
}

std::optional<PppdLine::LinkEnd> PppdLine::end_link() {
  const auto pid = live_pppd_of_link(options_.run_dir, options_.peer, program_name());
  if (!pid) return std::nullopt;
  // Another program run's pppd: not our child, and the line is open in it alone (exclusive),
  // so DTR cannot be reached; SIGKILL ends it, and its last close hangs the modem up (HUPCL).
  const StopOutcome outcome = stop_pppd(
      [pid = *pid](int signal) { ::kill(pid, signal); },
      [&] { return !pppd_of_link_runs(*pid, options_.peer, program_name()); }, {}, options_.stop);
  // pppd took the line's lock over from the program that dialled; its end leaves it stale.
  for (int16_t port = 1; port <= kLastPort; ++port) {
    UucpLock::remove_if_held_by(options_.serial.lock_dir, options_.serial.device_of(port), *pid);
  }
  return LinkEnd{*pid, outcome};
}

bool PppdLine::up(std::string_view entry) {
  for (const auto& [handle, call] : calls_) {
    if (call.call.entry == entry && call.phase == Phase::Up) return true;
  }
  return live_pppd_of_link(options_.run_dir, options_.peer, program_name()).has_value();
}

}  // namespace nimbra::lnx
