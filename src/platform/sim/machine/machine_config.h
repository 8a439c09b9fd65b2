// SPDX-License-Identifier: MIT
// What a simulated machine is, as its machine.ini says: the Windows version, the user-interface
// language (which also sets the ANSI code page), the short date format and the clock's start.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel.h"
#include "platform/runtime.h"
#include "platform/text/codepage.h"
#include "platform/text/ini_file.h"

namespace nimbra::sim {

enum class WindowsVersion { Win95, Win98, WinMe, NT3, NT4, Win2000, XP, Other };

struct VersionRecord {
  uint32_t platform_id;
  uint32_t major;
  uint32_t minor;
  uint32_t build;
};

std::optional<WindowsVersion> parse_windows_version(std::string_view name);
std::string_view windows_version_name(WindowsVersion v);
VersionRecord version_record_of(WindowsVersion v);
// "C:\WINDOWS" on the 9x family and XP, "C:\WINNT" on NT and 2000.
std::string_view windows_directory_of(WindowsVersion v);

class MachineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct MachineConfig {
  std::filesystem::path dir;
  WindowsVersion windows = WindowsVersion::XP;
  platform::Language language = platform::Language::English;
  std::string short_date_format = "yyyy/MM/dd";
  std::optional<platform::LocalDateTime> clock_start;
  platform::IniFile ini;  // the whole file, for the sections other devices read

  platform::CodePage code_page() const {
    return language == platform::Language::Japanese ? platform::CodePage::Japanese
                                                    : platform::CodePage::Western;
  }

  // Reads DIR/machine.ini; throws MachineError naming what is wrong.
  static MachineConfig load(const std::filesystem::path& dir);
};

// Files and folders of a machine directory.
namespace machine_files {
inline constexpr std::string_view kConfig = "machine.ini";
inline constexpr std::string_view kRegistry = "registry.reg";
inline constexpr std::string_view kWindows = "windows";
inline constexpr std::string_view kProgram = "program";
inline constexpr std::string_view kDriveC = "drive_c";  // the rest of drive C:
inline constexpr std::string_view kPhonebook = "phonebook.pbk";
inline constexpr std::string_view kConnections = "connections.ini";
inline constexpr std::string_view kPower = "power.ini";
}  // namespace machine_files

// A Korvo device plugged into the machine (see installed_hardware.h).
struct CardInstall {
  std::string device;    // model name
  int16_t port = 0;      // COM port number
  std::string instance;  // Enum instance subkey; empty for the usual one
};

struct MachineSpec {
  WindowsVersion windows = WindowsVersion::XP;
  platform::Language language = platform::Language::English;
  std::vector<CardInstall> cards;                    // at most two
  std::map<int16_t, std::string> port_devices = {};  // COM port -> real serial device
  bool pppd = false;  // calls go over pppd, not the simulated service
};

// Creates a new machine in `dir`: machine.ini, a registry holding the keys of its Korvo devices,
// and the two directories. Throws MachineError when `dir` holds a machine, or the files of one
// without its machine.ini (a machine is never created over them), or cannot be written.
void create_machine(const std::filesystem::path& dir, const MachineSpec& spec);

bool machine_exists(const std::filesystem::path& dir);

// "2026-12-06 10:00:00" (the seconds may be left out).
std::optional<platform::LocalDateTime> parse_date_time(std::string_view text);

}  // namespace nimbra::sim
