// SPDX-License-Identifier: MIT
// The application context: the one record of process-wide state that the program's parts share,
// created by the entry with the platform services it runs on.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/platform.h"
#include "shell/catalogue/catalogue.h"
#include "shell/records/custom_record.h"
#include "shell/main_form.h"
#include "shell/pass_form.h"
#include "shell/records/settings_record.h"

namespace nimbra::dialup {
class VBRas32;  // the RAS session object; the shell only holds it
}  // namespace nimbra::dialup

namespace nimbra::shell {

// One supported modem found at start-up.
struct DetectedModem {
  std::string device_name;  // the name RAS gives the modem
  std::string model_name;   // the name shown in ModemCombo
  int16_t port = 0;         // COM port number
};

inline constexpr size_t kModemSlots = 11;
inline constexpr size_t kRegBufferSize = 257;
inline constexpr size_t kLimitDateSize = 9;  // the validity date, 8 characters and a NUL

// Signal level per channel of the last card measurement: -1 not available, 0 no signal, 1 to 5
// lamps. Slots 0 to 14 are written, 0 to 12 shown.
inline constexpr size_t kChannelSlots = 16;
using ChannelLevelArray = std::array<int16_t, kChannelSlots>;

// One ready-made per-connection proxy value: zero-filled bytes, of which the first `length` are
// what is written to the registry.
struct ProxyBlob {
  std::array<uint8_t, kRegBufferSize> bytes{};
  uint32_t length = 0;
  std::span<const uint8_t> value() const { return {bytes.data(), length}; }
};

struct AppContext;
using StartupStep = std::function<void(AppContext&)>;

// What start-up and the page switch ask of the dial-up subsystem, which builds on the shell;
// dialup::install_dialup sets every step before Main runs.
struct DialupSteps {
  StartupStep select_first_plan;          // load step 10
  StartupStep provision_entry;            // load step 13
  StartupStep create_ras_session;         // load step 14
  StartupStep show_connection_state;      // load step 15
  StartupStep put_session_modem_first;    // load step 16
  StartupStep show_connection_on_switch;  // page switch step 1
  StartupStep install_window_procedure;   // load step 22
  StartupStep start_status_timer;         // load step 23
  StartupStep start_connect;              // load step 29, as a click of CmdConnect
  StartupStep release_session;            // unload: the window procedure back, the session gone
  // Whether KVAUTODL is connected (SeekEnumConns), without taking the connection over: no card
  // measurement then, and the web link asks first.
  std::function<bool(AppContext&)> entry_connected;
};

struct AppContext {
  explicit AppContext(platform::Platform& services)
      : platform(services), catalogue(services.runtime.ui_language()) {}
  // The window's view must not outlive the controls it mirrors.
  ~AppContext() {
    if (main_window != 0) platform.window.detach(main_form);
    if (pass_window != 0) platform.window.detach(pass_form);
  }
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  platform::Platform& platform;
  const Catalogue catalogue;

  MainForm main_form;
  platform::Hwnd main_window = 0;  // 0 while the main window is not loaded
  PassForm pass_form;
  platform::Hwnd pass_window = 0;  // 0 while the access-code window is not shown
  std::string app_title = "Nimbra";

  // Modem detection (start-up step 8). It belongs to the detection subsystem, which builds on
  // the shell, so the entry wiring sets it before Main runs.
  std::function<void(AppContext&)> detect_modems;
  // Likewise the dial-up steps, and the proxy values built by the entry (step 3), which belong
  // to the accelerator subsystem.
  DialupSteps dialup;
  StartupStep build_proxy_blobs;
  // Load step 21: the default browser and mail program, from the accelerator subsystem.
  StartupStep find_client_programs;
  // Load step 24, the stored validity date, and step 29's notice of the days left when the
  // program does not connect at start: both from the validity subsystem.
  StartupStep load_limit;
  StartupStep check_validity_term;
  // Load step 28: the card measurement, as a click of CmdAnalyze, from the diagnostics subsystem.
  StartupStep measure_card;
  // The Optimize page, from the TCP/IP subsystem: its controls by the Windows family (load step
  // 18), the values in force (load step 20, Windows 9x only) and Apply on page 3.
  StartupStep show_tcp_controls;
  StartupStep read_tcp_settings;
  StartupStep apply_tcp_settings;
  // The accelerator page, from the same subsystem: page switch step 2 (false when the switch
  // ends there), Apply on page 2, and load step 25's HTTP 1.1 options.
  std::function<bool(AppContext&)> read_applied_accelerator;
  StartupStep apply_accelerator;
  StartupStep enable_http11_options;

  std::string WinDir;
  bool CustomPresent = false;
  shell::CustomRecord CustomRecord;
  int32_t MtuValue = 0;
  int32_t RwinValue = 0;
  // The MTU and receive window chosen on the Optimize page (0: the Windows default), and the
  // values found in force at start-up.
  int32_t TcpMtu = 0;
  int32_t TcpRwin = 0;
  int32_t AppliedMtu = 0;
  int32_t AppliedRwin = 0;
  int16_t OsCode = 0;
  bool IsWin9x = false;
  int32_t RasEntrySize = 0;
  std::array<DetectedModem, kModemSlots> ModemList;
  int16_t ModemCount = 0;
  int16_t LastPortRead = 0;  // the port most recently parsed from a PortName value
  shell::SettingsRecord SettingsRecord;
  std::array<uint8_t, kRegBufferSize> RegBuffer{};
  ProxyBlob ProxyBlobDrift;
  ProxyBlob ProxyBlobBreeze;
  ProxyBlob ProxyBlobZephyr;
  ProxyBlob ProxyBlobQPost;
  ProxyBlob ProxyBlobNone;
  // The accelerator stored in the registry: 0 none, 1 Drift, 2 Breeze, 3 Zephyr, -1 a value of
  // none of them. AccelChanged: the option selected differs from it.
  int16_t AccelLevel = 0;
  bool AccelChanged = false;
  // The size the last reading of the stored value reported, offered to the next reading.
  uint32_t AccelValueSize = 0;
  std::array<std::string, 2> AccessPoints;  // the plan's main number, the renewal number
  // Shared only in form: the shell cannot see the session's type, so it cannot own it alone.
  std::shared_ptr<dialup::VBRas32> RasSession;
  // 0 idle, 1 connected, 2 dialling, 3 measuring, 4 hanging up.
  int32_t ConnState = 0;
  std::string PhsNumber;  // the card's answer to ATI6, kept for the whole run
  bool RedialArmed = false;
  int32_t RedialCount = 0;  // redial decisions taken in this run; never reset
  bool StopRequested = false;
  // The main window's procedure before the program's own was put in front of it.
  platform::WindowProcedure* PrevWndProc = nullptr;
  int32_t FullHeight = 0;  // outer height of the placed main window, pixels
  // The default browser and mail program found at start; empty when none.
  std::string BrowserPath;
  std::string MailerPath;
  // The validity date as the file "nimbral.dat" holds it.
  std::array<uint8_t, kLimitDateSize> LimitDate{};
  // The last card measurement; LevelCount 0 means the card has not reported levels yet.
  ChannelLevelArray ChannelLevels{};
  int16_t LevelCount = 0;
};

}  // namespace nimbra::shell
