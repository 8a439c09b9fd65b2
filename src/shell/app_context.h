// The application context: the one record of process-wide state that the program's parts share,
// created by the entry with the platform services it runs on.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "shell/catalogue.h"
#include "shell/main_form.h"

namespace nimbra::shell {

struct AppContext {
  explicit AppContext(platform::Platform& services)
      : platform(services), catalogue(services.runtime.ui_language()) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  platform::Platform& platform;
  const Catalogue catalogue;

  MainForm main_form;
  platform::Hwnd main_window = 0;  // 0 while the main window is not loaded
  std::string app_title = "Nimbra";

  std::string WinDir;
  int16_t OsCode = 0;
  bool IsWin9x = false;
  int32_t RasEntrySize = 0;
};

}  // namespace nimbra::shell
