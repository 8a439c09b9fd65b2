// SPDX-License-Identifier: MIT
// The pppd dial-up service: calls dialled over the card simulator on a pseudo-terminal and
// carried by a stand-in pppd (or the real one), heard as the dial-up service's reports.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iomanip>
#include <map>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "nimbra_test/real_time_tasks.h"
#include "nimbra_test/run_program.h"
#include "nimbra_test/temp_dir.h"
#include "nimbra_test/test_machine.h"
#include "platform/host/file_io.h"
#include "platform/linux/desktop/system_clock.h"
#include "platform/linux/pppd/pppd_call_log.h"
#include "platform/linux/pppd/pppd_line.h"
#include "platform/linux/pppd/pppd_pid_file.h"
#include "platform/linux/serial/uucp_lock.h"
#include "platform/registry/file_registry.h"
#include "platform/sim/card/pty_card.h"
#include "platform/sim/dialup/dialup_service.h"
#include "stand_in_machine.h"

namespace nimbra {
namespace sim {
void PrintTo(CardFault fault, std::ostream* os) {
  *os << "fault " << static_cast<int>(fault);
}
}  // namespace sim
namespace {

using namespace platform;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kPassword = "s3cret-pw";  // the one the stand-in lets in
constexpr std::string_view kNumber = "##610570000300";

using test::RealTimeTasks;

struct Heard {
  uint32_t state;
  uint32_t error;
  friend bool operator==(const Heard&, const Heard&) = default;
};

// Whether the child `pid` ends within a second; its status is kept.
bool ends_soon(pid_t pid, int* status = nullptr) {
  const auto limit = Clock::now() + std::chrono::seconds(1);
  while (waitpid(pid, status, WNOHANG) != pid) {
    if (Clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string file_text(const std::filesystem::path& file) {
  return read_text_file(file, 1 << 20).value_or("");
}

// A machine with the card on COM3, the card simulator behind it and the pppd service over both.
class PppdDialup : public ::testing::Test {
 protected:
  explicit PppdDialup(sim::CardSettings card = {}) : card_(std::move(card)) {
    test::make_stand_in_machine(dir_.path());
    config_ = sim::MachineConfig::load(dir_ / "machine");
    FileRegistry registry(dir_ / "machine" / sim::machine_files::kRegistry, config_.code_page());
    modems_ = sim::ras_modems(registry.snapshot(), config_);
    open_service();
    test::store_stand_in_entry(service_->phonebook(), modems_.at(0));
  }

  lnx::PppdOptions options() const { return test::stand_in_options(dir_.path(), card_); }

  // A program run on the machine: its own line and service (the files are the machine's).
  void open_service(std::optional<lnx::PppdOptions> o = std::nullopt) {
    service_.reset();
    line_ = std::make_unique<lnx::PppdLine>(o ? *o : options(), tasks_);
    service_ = std::make_unique<sim::DialupService>(
        config_, tasks_, clock_,
        sim::DialupService::Hardware{[this] { return modems_; }, nullptr, line_.get()});
  }

  void script(std::string_view commands) { std::ofstream(dir_ / "script") << commands; }

  uint32_t dial(std::string_view password = kPassword) {
    const DialParams params{"KVAUTODL", std::string(kNumber),  "",
                            "qenvora",  std::string(password), ""};
    return service_->dial(
        params,
        [this](uint32_t state, uint32_t error) {
          heard_.push_back({state, error});
        },
        this, handle_);
  }

  // Waits for the call to be connected or to fail.
  bool settled(uint32_t limit_ms = 5000) {
    return tasks_.run_until(
        [this] {
          return !heard_.empty() &&
                 (heard_.back().error != 0 || heard_.back().state == RASCS_Connected);
        },
        limit_ms);
  }

  std::filesystem::path lock_file() const {
    return dir_ / "lock" / lnx::UucpLock::file_name(card_.slave_path());
  }

  // The machine as nimbra-machine sees it: calls over the stand-in pppd on the card's terminal.
  void describe_real_line() {
    std::ofstream(dir_ / "machine" / sim::machine_files::kConfig, std::ios::app)
        << "\n[dialup]\nservice = pppd\npppd = " << NIMBRA_STAND_IN_PPPD
        << "\nrun_dir = " << (dir_ / "run").string() << "\nlock_dir = " << (dir_ / "lock").string()
        << "\n[ports]\nCOM3 = " << card_.slave_path().string() << "\n";
  }

  test::ProgramRun machine_tool(std::string_view command) {
    return test::run_program(
               {NIMBRA_MACHINE_TOOL, std::string(command), (dir_ / "machine").string()})
        .value_or(test::ProgramRun{-1, "not started"});
  }

  std::vector<uint32_t> states() const {
    std::vector<uint32_t> s;
    for (const Heard& h : heard_) s.push_back(h.state);
    return s;
  }

  test::TempDir dir_;
  sim::PtyCard card_;
  sim::MachineConfig config_;
  std::vector<sim::RasModem> modems_;
  RealTimeTasks tasks_;
  lnx::SystemClock clock_;
  std::unique_ptr<lnx::PppdLine> line_;
  std::unique_ptr<sim::DialupService> service_;
  std::vector<Heard> heard_;
  HRASCONN handle_ = 0;
};

constexpr std::string_view kGoodLink =
    "log Using interface ppp0\n"
    "log Connect: ppp0 <--> /dev/pts/9\n"
    "auth\n"
    "log local  IP address 10.64.0.2\n"
    "log remote IP address 10.64.0.1\n"
    "pidfile\n"
    "hold\n";

// A call walks every state to connected: the modem reset and dialled with the number, pppd
// started with its options (no password among them) on the line, in a group of its own.
TEST_F(PppdDialup, WalksEveryStateToConnectedAndHangsUp) {
  script(kGoodLink);
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  EXPECT_EQ(states(),
            (std::vector<uint32_t>{RASCS_OpenPort, RASCS_PortOpened, RASCS_ConnectDevice,
                                   RASCS_DeviceConnected, RASCS_AllDevicesConnected,
                                   RASCS_Authenticate, RASCS_Authenticated, RASCS_Connected}));
  EXPECT_EQ(card_.commands(), (std::vector<std::string>{"ATZ", "ATD##610570000300"}));
  ASSERT_TRUE(tasks_.run_until([&] { return line_->up("KVAUTODL"); }));
  EXPECT_EQ(
      file_text(dir_ / "run" / "started"),
      std::string(NIMBRA_STAND_IN_PPPD) +
          "\ncall\nnimbra\nnodetach\nlogfd\n3\npasswordfd\n4\nuser\nqenvora\ntty\ncrtscts\nhupcl\n"
          "group\nstdout /dev/null\n");
  ASSERT_EQ(service_->connections().size(), 1u);
  EXPECT_EQ(service_->connections()[0].entry, "KVAUTODL");

  // The password is in no file but the phone book, which only its owner may read.
  for (const auto& file : std::filesystem::recursive_directory_iterator(dir_.path())) {
    if (!file.is_regular_file() || file.path().filename() == "phonebook.pbk") continue;
    EXPECT_EQ(file_text(file.path()).find(kPassword), std::string::npos) << file.path();
  }
  struct stat info {};
  ASSERT_EQ(stat((dir_ / "machine" / "phonebook.pbk").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const pid_t pid = *lnx::live_pppd_of_link(dir_ / "run", "nimbra", "pppd");
  EXPECT_EQ(service_->hang_up(handle_), RAS_SUCCESS);
  EXPECT_NE(kill(pid, 0), 0);  // ended and reaped
  EXPECT_FALSE(line_->up("KVAUTODL"));
  EXPECT_TRUE(service_->connections().empty());
  EXPECT_EQ(heard_.back(), (Heard{RASCS_Connected, 0}));  // a hang-up is not a drop
}

// How each end of pppd before the link is up reaches the dialler: the remote-access error of
// its exit status, after the states its log showed.
TEST_F(PppdDialup, EachPppdEndBecomesItsError) {
  struct Row {
    std::string_view script;
    uint32_t error;
    uint32_t last_state;
  };
  const Row rows[] = {
      {"log Couldn't open the /dev/ppp device\nexit 4\n", ERROR_PPP_NO_PROTOCOLS_CONFIGURED,
       RASCS_AllDevicesConnected},
      {"log Using interface ppp0\nauth\n", ERROR_AUTHENTICATION_FAILURE, RASCS_Authenticate},
      {"exit 2\n", ERROR_PORT_NOT_CONFIGURED, RASCS_AllDevicesConnected},
      {"exit 3\n", ERROR_ACCESS_DENIED_RAS, RASCS_AllDevicesConnected},
      {"log Using interface ppp0\nlog Modem hangup\nexit 16\n", ERROR_PORT_DISCONNECTED,
       RASCS_Authenticate},
      {"log Using interface ppp0\nexit 15\n", ERROR_PPP_TIMEOUT, RASCS_Authenticate},
      // The hang-up that follows a refused login overwrites pppd's status 19.
      {"log Using interface ppp0\nlog PAP authentication failed\nlog Modem hangup\nexit 16\n",
       ERROR_AUTHENTICATION_FAILURE, RASCS_Authenticate},
      {"exit 0\n", ERROR_DISCONNECTION, RASCS_AllDevicesConnected},
      {"exit 77\n", ERROR_UNKNOWN_RAS, RASCS_AllDevicesConnected},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.script);
    script(row.script);
    heard_.clear();
    ASSERT_EQ(dial("wrong"), RAS_SUCCESS);
    ASSERT_TRUE(settled());
    EXPECT_EQ(heard_.back(), (Heard{row.last_state, row.error}));
    EXPECT_EQ(service_->hang_up(handle_), RAS_SUCCESS);
    EXPECT_EQ(service_->calls_in_progress(), 0u);
  }
}

// A dial without a notifier returns only once the call has failed, with its error.
TEST_F(PppdDialup, DialWithoutNotifierWaitsForTheEnd) {
  script("exit 4\n");
  const DialParams params{"KVAUTODL", std::string(kNumber), "", "qenvora", "x", ""};
  EXPECT_EQ(service_->dial(params, {}, this, handle_), ERROR_PPP_NO_PROTOCOLS_CONFIGURED);
  EXPECT_EQ(service_->calls_in_progress(), 0u);
}

// pppd that cannot be started: not there, or not allowed to run.
TEST_F(PppdDialup, PppdThatCannotStartIsAnError) {
  std::ofstream(dir_ / "pppd") << "#!/bin/sh\n";
  chmod((dir_ / "pppd").c_str(), 0644);
  const std::pair<std::filesystem::path, uint32_t> rows[] = {
      {dir_ / "missing" / "pppd", ERROR_RASMAN_CANNOT_INITIALIZE},
      {dir_ / "pppd", ERROR_ACCESS_DENIED_RAS},
  };
  for (const auto& [program, error] : rows) {
    lnx::PppdOptions o = options();
    o.program = program;
    open_service(o);
    heard_.clear();
    ASSERT_EQ(dial(), RAS_SUCCESS);
    ASSERT_TRUE(settled());
    EXPECT_EQ(heard_.back(), (Heard{RASCS_AllDevicesConnected, error})) << program;
  }
}

// A link that goes down after it was up is heard as a drop (668) and is no longer a connection.
TEST_F(PppdDialup, LinkDroppingIsHeard) {
  script(std::string(kGoodLink.substr(0, kGoodLink.find("hold"))) +
         "sleep 100\nlog Modem hangup\nexit 16\n");
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  ASSERT_TRUE(tasks_.run_until([&] { return heard_.back().state == RASCS_Disconnected; }));
  EXPECT_EQ(heard_.back().error, ERROR_NO_CONNECTION);
  EXPECT_TRUE(service_->connections().empty());
}

// A pppd that ignores SIGTERM is killed once the bound has passed.
TEST_F(PppdDialup, HangUpKillsPppdThatIgnoresTerm) {
  script("deaf\n" + std::string(kGoodLink));
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  const pid_t pid = *lnx::live_pppd_of_link(dir_ / "run", "nimbra", "pppd");
  const auto start = Clock::now();
  EXPECT_EQ(service_->hang_up(handle_), RAS_SUCCESS);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_NE(kill(pid, 0), 0);
}

// A link left up by a program run that ended is found by the next run through pppd's pid file
// and can be hung up there; a pid file whose process is gone or is another program is not.
TEST_F(PppdDialup, ConnectionOfAnEndedRunIsFoundAndStaleOneIsNot) {
  script(kGoodLink);
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  ASSERT_TRUE(tasks_.run_until([&] { return line_->up("KVAUTODL"); }));
  const pid_t pid = *lnx::live_pppd_of_link(dir_ / "run", "nimbra", "pppd");
  open_service();  // the program ended without hanging up, and started again

  const auto found = service_->connections();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].entry, "KVAUTODL");
  // The modem is still busy with it.
  HRASCONN second = 0;
  EXPECT_EQ(service_->dial({"KVAUTODL", "", "", "qenvora", "x", ""}, {}, this, second),
            ERROR_PORT_NOT_AVAILABLE);
  EXPECT_EQ(service_->hang_up(found[0].handle), RAS_SUCCESS);
  EXPECT_EQ(waitpid(pid, nullptr, 0), pid);  // it ended on SIGTERM
  EXPECT_TRUE(service_->connections().empty());

  // A record whose pid file names a process that is not pppd, a pppd of another link, or no
  // process, is stale.
  std::filesystem::create_directories(dir_ / "other");
  std::ofstream(dir_ / "other" / "script") << "hold\n";
  const std::string script_env = "NIMBRA_STAND_IN_SCRIPT=" + (dir_ / "other" / "script").string();
  const std::string run_env = "NIMBRA_STAND_IN_RUN=" + (dir_ / "other").string();
  const pid_t other_link = fork();
  if (other_link == 0) {
    char* const env[] = {const_cast<char*>(script_env.c_str()), const_cast<char*>(run_env.c_str()),
                         nullptr};
    execle(NIMBRA_STAND_IN_PPPD, NIMBRA_STAND_IN_PPPD, "call", "other", nullptr, env);
    _exit(127);
  }
  ASSERT_TRUE(
      tasks_.run_until([&] { return std::filesystem::exists(dir_ / "other" / "started"); }));
  ASSERT_TRUE(lnx::pppd_of_link_runs(other_link, "other", "pppd"));
  for (const pid_t stale : {getpid(), other_link, pid}) {
    script(kGoodLink);
    heard_.clear();
    open_service();
    ASSERT_EQ(dial(), RAS_SUCCESS);
    ASSERT_TRUE(settled());
    const pid_t link = *lnx::live_pppd_of_link(dir_ / "run", "nimbra", "pppd");
    line_.reset();  // ended without hanging up
    kill(link, SIGKILL);
    waitpid(link, nullptr, 0);
    std::ofstream(lnx::pppd_pid_file(dir_ / "run", "nimbra")) << stale << "\nppp0\n";
    open_service();
    EXPECT_TRUE(service_->connections().empty()) << stale;
  }
  kill(other_link, SIGTERM);
  waitpid(other_link, nullptr, 0);
}

// The serial port another program holds gives 633 as the port is opened.
TEST_F(PppdDialup, HeldPortIsRefused) {
  lnx::SerialComm holder(options().serial);
  ASSERT_EQ(holder.set_CommPort(3), CommError::None);
  ASSERT_EQ(holder.set_PortOpen(true), CommError::None);
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  EXPECT_EQ(heard_.back(), (Heard{RASCS_OpenPort, ERROR_PORT_NOT_AVAILABLE}));
}

// The system's pppd, started on a machine without kernel PPP support, ends at once and the call
// fails with the mapped error; nothing is left running.
TEST_F(PppdDialup, RealPppdWithoutKernelSupport) {
  if (!std::filesystem::exists("/usr/sbin/pppd") ||
      !std::filesystem::exists("/etc/ppp/peers/nimbra") || std::filesystem::exists("/dev/ppp")) {
    GTEST_SKIP() << "needs pppd, its peers file nimbra and no /dev/ppp";
  }
  lnx::PppdOptions o = options();
  o.program = "/usr/sbin/pppd";
  o.run_dir = "/var/run";
  open_service(o);
  const auto start = Clock::now();
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(heard_.back(), (Heard{RASCS_AllDevicesConnected, ERROR_PPP_NO_PROTOCOLS_CONFIGURED}));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // no child of ours is left
  EXPECT_EQ(errno, ECHILD);
}

// nimbra-machine hangup ends a link that a program run left up as the program's hang-up does:
// its pppd ends on SIGTERM, the line's lock (which names pppd) goes, the record goes, and the
// tool says what it did.
TEST_F(PppdDialup, HangupToolEndsTheRealLink) {
  describe_real_line();
  script(kGoodLink);
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  const pid_t pid = *lnx::live_pppd_of_link(dir_ / "run", "nimbra", "pppd");
  service_.reset();
  line_.reset();  // the program ended with the link up

  const test::ProgramRun run = machine_tool("hangup");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "ended pppd " + std::to_string(pid) +
                            " of link nimbra: it ended on SIGTERM\n"
                            "cleared 1 connection from connections.ini\n");
  int status = 0;
  ASSERT_TRUE(ends_soon(pid, &status));
  EXPECT_EQ(WEXITSTATUS(status), 5);  // ended on the signal, as pppd does
  EXPECT_FALSE(std::filesystem::exists(lock_file()));
  EXPECT_EQ(machine_tool("hangup").output,
            "no pppd of link nimbra runs\ncleared 0 connections from connections.ini\n");
}

// A user who may not open the modem's device (not in group dialout) is told access is denied
// (5), not that another program holds the port; the serial control itself still reports a port
// it cannot open, as the card queries expect.
TEST_F(PppdDialup, DeviceTheUserMayNotOpenIsAccessDenied) {
  // Not writable even by root: a read-only attribute of the kernel.
  const std::filesystem::path denied = "/sys/devices/system/cpu/possible";
  lnx::PppdOptions o = options();
  o.serial.device_of = [denied](int16_t) { return denied; };
  open_service(o);
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  EXPECT_EQ(heard_.back(), (Heard{RASCS_OpenPort, ERROR_ACCESS_DENIED_RAS}));

  lnx::SerialComm comm(o.serial);
  ASSERT_EQ(comm.set_CommPort(3), CommError::None);
  EXPECT_EQ(comm.set_PortOpen(true), CommError::PortInUse);
  EXPECT_TRUE(comm.access_denied());
}

// A link that is not up in time after pppd started (a modem that never raises carrier) fails
// with the PPP time-out while the event loop goes on, and pppd is stopped.
TEST_F(PppdDialup, LinkNotUpInTimeIsATimeout) {
  script("log Using interface ppp0\npidfile\nhold\n");
  lnx::PppdOptions o = options();
  o.link_up_ms = 300;
  open_service(o);
  const auto start = Clock::now();
  ASSERT_EQ(dial(), RAS_SUCCESS);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));  // the dial did not wait
  ASSERT_TRUE(settled(3000));
  EXPECT_EQ(heard_.back(), (Heard{RASCS_Authenticate, ERROR_PPP_TIMEOUT}));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_FALSE(lnx::live_pppd_of_link(dir_ / "run", "nimbra", "pppd"));
  EXPECT_FALSE(std::filesystem::exists(lock_file()));
}

// Once pppd has the line its lock names pppd, and a program that ends while the link is up
// leaves the lock and the exclusive mode to pppd: a second opener is refused. When pppd ends,
// the lock goes with it.
TEST_F(PppdDialup, LineStaysLockedForPppdAfterTheProgramEnds) {
  script(kGoodLink);
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  const pid_t pid = *lnx::live_pppd_of_link(dir_ / "run", "nimbra", "pppd");
  const std::string pppd_lock = (std::ostringstream() << std::setw(10) << pid << "\n").str();
  EXPECT_EQ(file_text(lock_file()), pppd_lock);
  service_.reset();
  line_.reset();  // the program ended with the link up

  EXPECT_EQ(file_text(lock_file()), pppd_lock);
  lnx::SerialComm second(options().serial);
  ASSERT_EQ(second.set_CommPort(3), CommError::None);
  EXPECT_EQ(second.set_PortOpen(true), CommError::PortInUse);
  const int look = open(card_.slave_path().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(look, 0);  // root passes the exclusive mode; it is read here
  int exclusive = 0;
  EXPECT_EQ(ioctl(look, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  close(look);

  open_service();
  const auto found = service_->connections();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(service_->hang_up(found[0].handle), RAS_SUCCESS);
  EXPECT_TRUE(ends_soon(pid));
  EXPECT_FALSE(std::filesystem::exists(lock_file()));
}

// The dial-up adapter's MTU reaches pppd only as a value pppd takes (128 to 16384).
TEST_F(PppdDialup, MtuIsBoundedToWhatPppdTakes) {
  const std::pair<std::optional<uint32_t>, std::string> rows[] = {
      {1, "128"}, {127, "128"}, {128, "128"}, {1500, "1500"}, {16385, "16384"}, {std::nullopt, ""},
  };
  for (const auto& [mtu, argument] : rows) {
    lnx::PppdOptions o = options();
    o.mtu = [mtu] { return mtu; };
    const auto argv = lnx::PppdLine(o, tasks_).pppd_arguments({});
    const auto at = std::find(argv.begin(), argv.end(), "mtu");
    EXPECT_EQ(at == argv.end() ? "" : *(at + 1), argument) << mtu.value_or(0);
  }
}

// What pppd says on standard error (its option errors) is kept with its log in pppd.log, the
// last lines only, and nimbra-machine show prints them.
TEST_F(PppdDialup, StandardErrorIsKeptAndShown) {
  std::string chatter;
  for (int i = 0; i < 60; ++i) chatter += "log line " + std::to_string(i) + "\n";
  script(chatter + "stderr pppd: invalid mtu value 1\nexit 2\n");
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  EXPECT_EQ(heard_.back(), (Heard{RASCS_AllDevicesConnected, ERROR_PORT_NOT_CONFIGURED}));

  const auto lines = lnx::PppdCallLog::read(dir_ / "machine" / lnx::kPppdCallLogFile);
  ASSERT_EQ(lines.size(), lnx::PppdCallLog::kMaxLines);
  EXPECT_EQ(lines[lines.size() - 2], "pppd: invalid mtu value 1");
  EXPECT_EQ(lines.back(), "nimbra: pppd ended with status 2");
  const test::ProgramRun shown = machine_tool("show");
  EXPECT_NE(shown.output.find("\n           pppd: invalid mtu value 1\n"), std::string::npos)
      << shown.output;
}

// pppd never gets /dev/null as the line, also when the program started with descriptor 0
// closed and the null device would open there.
TEST_F(PppdDialup, ClosedStandardInputIsNotGivenToPppd) {
  script("exit 0\n");
  const int saved_stdin = dup(STDIN_FILENO);
  const int line = open(card_.slave_path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(line, 0);
  close(STDIN_FILENO);
  int error = 0;
  auto pppd = lnx::PppdProcess::start({NIMBRA_STAND_IN_PPPD}, line, "", error);
  dup2(saved_stdin, STDIN_FILENO);
  close(saved_stdin);
  ASSERT_TRUE(pppd);
  ASSERT_TRUE(tasks_.run_until([&] { return pppd->exit_status().has_value(); }));
  close(line);
  const std::string started = file_text(dir_ / "run" / "started");
  EXPECT_NE(started.find("\ntty\n"), std::string::npos) << started;
  EXPECT_NE(started.find("stdout /dev/null\n"), std::string::npos) << started;
}

// The peers file asks pppd for the flow control the dial uses (RTS/CTS), so the two agree.
TEST(PeersFile, AsksForTheDialsFlowControl) {
  const std::string peers = file_text(NIMBRA_PEERS_FILE);
  EXPECT_NE(peers.find("\ncrtscts\n"), std::string::npos);
  EXPECT_EQ(peers.find("nocrtscts"), std::string::npos);
}

// Each answer of the modem to the dial, or its silence, is the remote-access error for it, and
// pppd is never started.
using ModemCase = std::tuple<std::string, sim::CardFault, uint32_t>;
class ModemAnswers : public PppdDialup, public ::testing::WithParamInterface<ModemCase> {
 protected:
  static sim::CardSettings card() {
    sim::CardSettings s;
    std::tie(s.dial_answer, s.fault, std::ignore) = GetParam();
    return s;
  }
  ModemAnswers() : PppdDialup(card()) {}
};

TEST_P(ModemAnswers, BecomeErrors) {
  script("exit 0\n");
  ASSERT_EQ(dial(), RAS_SUCCESS);
  ASSERT_TRUE(settled());
  EXPECT_EQ(heard_.back().error, std::get<2>(GetParam()));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "run" / "started"));
}

using enum sim::CardFault;
INSTANTIATE_TEST_SUITE_P(Dial, ModemAnswers,
                         ::testing::Values(ModemCase{"BUSY", None, ERROR_LINE_BUSY},
                                           ModemCase{"NO CARRIER", None, ERROR_NO_CARRIER},
                                           ModemCase{"NO DIALTONE", None, ERROR_NO_DIALTONE},
                                           ModemCase{"ERROR", None, ERROR_FROM_DEVICE},
                                           ModemCase{"", None, ERROR_NO_ANSWER},
                                           ModemCase{"CONNECT", Silent, ERROR_PORT_OR_DEVICE},
                                           ModemCase{"CONNECT", Error, ERROR_FROM_DEVICE}));

}  // namespace
}  // namespace nimbra
