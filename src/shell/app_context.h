// The application context: the one record of process-wide state that the program's parts share,
// created by the entry with the platform services it runs on.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"
#include "shell/catalogue.h"
#include "shell/custom_record.h"
#include "shell/main_form.h"
#include "shell/settings_record.h"

namespace nimbra::shell {

// One supported modem found at start-up.
struct DetectedModem {
  std::string device_name;  // the name RAS gives the modem
  std::string model_name;   // the name shown in ModemCombo
  int16_t port = 0;         // COM port number
};

inline constexpr size_t kModemSlots = 11;
inline constexpr size_t kRegBufferSize = 257;

struct AppContext {
  explicit AppContext(platform::Platform& services)
      : platform(services), catalogue(services.runtime.ui_language()) {}
  // The window's view must not outlive the controls it mirrors.
  ~AppContext() {
    if (main_window != 0) platform.window.detach(main_form);
  }
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  platform::Platform& platform;
  const Catalogue catalogue;

  MainForm main_form;
  platform::Hwnd main_window = 0;  // 0 while the main window is not loaded
  std::string app_title = "Nimbra";

  // Modem detection (start-up step 8). It belongs to the detection subsystem, which builds on
  // the shell, so the entry wiring sets it before Main runs.
  std::function<void(AppContext&)> detect_modems;

  std::string WinDir;
  bool CustomPresent = false;
  shell::CustomRecord CustomRecord;
  int32_t MtuValue = 0;
  int32_t RwinValue = 0;
  int16_t OsCode = 0;
  bool IsWin9x = false;
  int32_t RasEntrySize = 0;
  std::array<DetectedModem, kModemSlots> ModemList;
  int16_t ModemCount = 0;
  int16_t LastPortRead = 0;  // the port most recently parsed from a PortName value
  shell::SettingsRecord SettingsRecord;
  std::array<uint8_t, kRegBufferSize> RegBuffer{};
};

}  // namespace nimbra::shell
