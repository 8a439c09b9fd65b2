// SPDX-License-Identifier: MIT
// The desktop's proxy following a real call (dialled over the card simulator, carried by the
// stand-in pppd), checked by an independent client: libproxy's proxy tool, which asks GSettings
// or KDE's kioslaverc as the browsers do.
#include "platform/linux/proxy/desktop_proxy.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "accel/proxy_blob.h"
#include "accel/proxy_value.h"
#include "accel/service_endpoints.h"
#include "nimbra_test/real_time_tasks.h"
#include "nimbra_test/run_program.h"
#include "nimbra_test/temp_dir.h"
#include "nimbra_test/test_machine.h"
#include "platform/linux/desktop/system_clock.h"
#include "platform/linux/pppd/pppd_line.h"
#include "platform/linux/pppd/pppd_pid_file.h"
#include "platform/linux/proxy/session_desktop.h"
#include "platform/linux/proxy/watched_line.h"
#include "platform/linux/proxy/watched_registry.h"
#include "platform/registry/file_registry.h"
#include "platform/sim/card/pty_card.h"
#include "platform/sim/dialup/dialup_service.h"
#include "stand_in_machine.h"

extern char** environ;

namespace nimbra {
namespace {

namespace fs = std::filesystem;
using namespace platform;

const std::string kUrl = "http://www.example.com/";
constexpr std::string_view kPassword = "s3cret-pw";  // the one the stand-in lets in

// The program of that name on PATH; empty when there is none.
std::string tool_path(std::string_view name) {
  std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
  for (std::string dir; std::getline(path, dir, ':');) {
    const fs::path candidate = fs::path(dir) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return "";
}

// A desktop session of its own: a home, a session bus started once HOME is set (so that the
// dconf service it starts writes the home the tools read) and the variables that name the
// desktop, as libproxy recognises them.
class DesktopSession {
 public:
  static constexpr std::string_view kTools[] = {"dbus-daemon", "gsettings", "kreadconfig5",
                                                "kwriteconfig5", "proxy"};

  DesktopSession(const fs::path& home, bool kde) {
    fs::create_directories(home / ".config");
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all);
    set("HOME", home.string());
    set("XDG_CONFIG_HOME", (home / ".config").string());
    set("XDG_RUNTIME_DIR", (home / "run").string());
    set("GSETTINGS_BACKEND", "dconf");
    set("GNOME_DESKTOP_SESSION_ID", std::nullopt);
    set("XDG_CURRENT_DESKTOP", kde ? "KDE" : "GNOME");
    set("DESKTOP_SESSION", kde ? "plasma" : "gnome");
    set("KDE_FULL_SESSION", kde ? std::optional<std::string>("true") : std::nullopt);
    set("KDE_SESSION_VERSION", kde ? std::optional<std::string>("5") : std::nullopt);
    const std::string socket = (home / "run" / "bus").string();
    const std::string daemon = tool_path("dbus-daemon");
    const std::string address = "--address=unix:path=" + socket;
    char* const argv[] = {const_cast<char*>(daemon.c_str()), const_cast<char*>("--session"),
                          const_cast<char*>("--nofork"), const_cast<char*>(address.c_str()),
                          nullptr};
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (::posix_spawn(&bus_pid_, argv[0], &quiet, nullptr, argv, environ) != 0) bus_pid_ = 0;
    ::posix_spawn_file_actions_destroy(&quiet);
    for (int i = 0; i < 500 && bus_pid_ > 0 && !fs::exists(socket); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + socket);
  }

  ~DesktopSession() {
    if (bus_pid_ > 0) {
      ::kill(bus_pid_, SIGTERM);
      ::waitpid(bus_pid_, nullptr, 0);
    }
    for (const auto& [name, value] : before_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  bool started() const { return bus_pid_ > 0; }

  // What libproxy answers for `url`: "http://host:port" or "direct://".
  static std::string proxy_for(const std::string& url) {
    const auto run = test::run_program({tool_path("proxy"), url});
    std::string answer = run ? run->output : "";
    while (!answer.empty() && answer.back() == '\n') answer.pop_back();
    return answer;
  }

  static std::string run(const std::vector<std::string>& argv) {
    std::vector<std::string> args = argv;
    args[0] = tool_path(args[0]);
    const auto ran = test::run_program(args);
    return ran && ran->status == 0 ? ran->output : "failed: " + (ran ? ran->output : "");
  }

 private:
  void set(const std::string& name, const std::optional<std::string>& value) {
    if (!before_.contains(name)) {
      const char* old = std::getenv(name.c_str());
      before_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }

  std::map<std::string, std::optional<std::string>> before_;
  pid_t bus_pid_ = 0;
};

// The machine's program run: the pppd service over the card simulator, the registry the
// accelerator writes and the desktop's proxy following the link, wired as the desktop program
// wires them.
class DesktopProxyOverPppd : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string_view tool : DesktopSession::kTools) {
      if (tool_path(tool).empty()) GTEST_SKIP() << "needs " << tool << " on PATH";
    }
    test::make_stand_in_machine(dir_.path());
    std::ofstream(dir_ / "script")
        << "log Using interface ppp0\nlog Connect: ppp0 <--> /dev/pts/9\n"
           "auth\nlog local  IP address 10.64.0.2\n"
           "log remote IP address 10.64.0.1\npidfile\nhold\n";
    config_ = sim::MachineConfig::load(dir_ / "machine");
    registry_ = std::make_unique<FileRegistry>(dir_ / "machine" / sim::machine_files::kRegistry,
                                               config_.code_page());
    watched_registry_ = std::make_unique<lnx::WatchedRegistry>(*registry_);
    modems_ = sim::ras_modems(registry_->snapshot(), config_);
  }

  // Starts the program run in the desktop session that is set up now.
  void start_run() {
    line_ = std::make_unique<lnx::PppdLine>(test::stand_in_options(dir_.path(), card_), tasks_);
    watched_line_ = std::make_unique<lnx::WatchedLine>(*line_);
    service_ = std::make_unique<sim::DialupService>(
        config_, tasks_, clock_,
        sim::DialupService::Hardware{[this] { return modems_; }, nullptr, watched_line_.get()});
    test::store_stand_in_entry(service_->phonebook(), modems_.at(0));
    lnx::DesktopProxy::Link link{[this] {
                                   std::vector<std::string> entries;
                                   for (const auto& c : service_->connections()) {
                                     entries.push_back(c.entry);
                                   }
                                   return entries;
                                 },
                                 [this](std::string_view e) { return line_->up(e); }};
    follower_ = std::make_unique<lnx::DesktopProxy>(*registry_, tasks_, std::move(link),
                                                    lnx::session_follower(dir_ / "machine", log_));
    watched_registry_->set_listener([this] { follower_->changed(); });
    watched_line_->set_listener([this] { follower_->changed(); });
  }

  void end_run() {
    follower_.reset();
    service_.reset();
    watched_line_.reset();
    line_.reset();
  }

  void TearDown() override {
    if (service_) service_->hang_up_all();
    end_run();
  }

  // As the Accelerator page writes it: the accelerator's value, or none (deleted).
  void apply(std::optional<std::string_view> host) {
    HKEY key = 0;
    ASSERT_EQ(watched_registry_->RegOpenKeyExA(HKEY_CURRENT_USER, accel::kConnectionsKey, 0,
                                               KEY_WRITE, key),
              ERROR_SUCCESS);
    if (host) {
      const auto blob = accel::make_proxy_blob(1, "http=" + std::string(*host) + ":32080",
                                               accel::kProxyValueLength);
      watched_registry_->RegSetValueExA(key, accel::kProxyValueName, 0, REG_BINARY, blob.value());
    } else {
      watched_registry_->RegDeleteValueA(key, accel::kProxyValueName);
    }
    watched_registry_->RegCloseKey(key);
  }

  void dial() {
    const DialParams params{"KVAUTODL", "##610570000300",       "",
                            "qenvora",  std::string(kPassword), ""};
    ASSERT_EQ(service_->dial(
                  params, [this](uint32_t state, uint32_t) { last_state_ = state; }, this, handle_),
              RAS_SUCCESS);
    ASSERT_TRUE(tasks_.run_until([this] { return line_->up("KVAUTODL"); }, 10000));
  }

  // Runs the program's event loop until libproxy answers `expected`.
  void expect_proxy(const std::string& expected) {
    std::string answer;
    tasks_.run_until(
        [&] {
          answer = DesktopSession::proxy_for(kUrl);
          return answer == expected;
        },
        10000);
    EXPECT_EQ(answer, expected) << log_.str();
  }

  // Connected: the accelerator's address; "No acceleration": the user's own; another
  // accelerator: its address; hung up: the user's own settings exactly as before.
  void follow_a_call(const std::function<std::string()>& settings, const std::string& own) {
    const std::string before = settings();
    start_run();
    apply(accel::service::kBreezeHost);
    dial();
    expect_proxy("http://" + std::string(accel::service::kBreezeHost) + ":32080");
    apply(std::nullopt);
    expect_proxy(own);
    apply(accel::service::kZephyrHost);
    expect_proxy("http://" + std::string(accel::service::kZephyrHost) + ":32080");
    ASSERT_EQ(service_->hang_up(handle_), RAS_SUCCESS);
    expect_proxy(own);
    EXPECT_EQ(settings(), before);
    EXPECT_FALSE(fs::exists(dir_ / "machine" / lnx::kProxyStateFile));
  }

  test::TempDir dir_;
  sim::PtyCard card_{sim::CardSettings{}};
  sim::MachineConfig config_;
  std::vector<sim::RasModem> modems_;
  test::RealTimeTasks tasks_;
  lnx::SystemClock clock_;
  std::unique_ptr<FileRegistry> registry_;
  std::unique_ptr<lnx::WatchedRegistry> watched_registry_;
  std::unique_ptr<lnx::PppdLine> line_;
  std::unique_ptr<lnx::WatchedLine> watched_line_;
  std::unique_ptr<sim::DialupService> service_;
  std::unique_ptr<lnx::DesktopProxy> follower_;
  std::ostringstream log_;
  HRASCONN handle_ = 0;
  uint32_t last_state_ = 0;
};

const char* const kGnomeKeys[][2] = {
    {"org.gnome.system.proxy", "mode"},       {"org.gnome.system.proxy", "ignore-hosts"},
    {"org.gnome.system.proxy.http", "host"},  {"org.gnome.system.proxy.http", "port"},
    {"org.gnome.system.proxy.https", "host"}, {"org.gnome.system.proxy.https", "port"}};

std::string gnome_settings() {
  std::string all;
  for (const auto& [schema, key] : kGnomeKeys) {
    all += DesktopSession::run({"gsettings", "get", schema, key});
  }
  return all;
}

std::string kioslaverc() {
  std::ifstream in(fs::path(std::getenv("XDG_CONFIG_HOME")) / "kioslaverc");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// On GNOME, the user's own manual proxy gives way to the accelerator's while connected.
TEST_F(DesktopProxyOverPppd, Gnome) {
  DesktopSession session(dir_ / "home", false);
  ASSERT_TRUE(session.started());
  DesktopSession::run({"gsettings", "set", "org.gnome.system.proxy", "mode", "manual"});
  DesktopSession::run({"gsettings", "set", "org.gnome.system.proxy.http", "host", "own.example"});
  DesktopSession::run({"gsettings", "set", "org.gnome.system.proxy.http", "port", "3128"});
  ASSERT_EQ(DesktopSession::proxy_for(kUrl), "http://own.example:3128");
  follow_a_call(gnome_settings, "http://own.example:3128");
}

// On KDE Plasma the same, through kioslaverc, whose text is as it was at the end.
TEST_F(DesktopProxyOverPppd, Kde) {
  DesktopSession session(dir_ / "home", true);
  ASSERT_TRUE(session.started());
  std::ofstream(dir_ / "home" / ".config" / "kioslaverc")
      << "[Proxy Settings]\nProxyType=1\nhttpProxy=http://own.example 3128\n";
  ASSERT_EQ(DesktopSession::proxy_for(kUrl), "http://own.example:3128");
  follow_a_call(kioslaverc, "http://own.example:3128");
}

// A link that went down while no program ran (pppd ended with the program gone): the next
// run gives the user's settings back as it starts.
TEST_F(DesktopProxyOverPppd, LinkDownWhileNotRunning) {
  DesktopSession session(dir_ / "home", false);
  ASSERT_TRUE(session.started());
  const std::string before = gnome_settings();
  start_run();
  apply(accel::service::kDriftHost);
  dial();
  expect_proxy("http://" + std::string(accel::service::kDriftHost) + ":32080");
  const pid_t pppd = *lnx::live_pppd_of_link(dir_ / "run", "nimbra", "pppd");
  end_run();
  ::kill(pppd, SIGTERM);
  ASSERT_EQ(::waitpid(pppd, nullptr, 0), pppd);
  EXPECT_NE(DesktopSession::proxy_for(kUrl), "direct://");

  start_run();
  EXPECT_EQ(DesktopSession::proxy_for(kUrl), "direct://");
  EXPECT_EQ(gnome_settings(), before);
}

}  // namespace
}  // namespace nimbra
