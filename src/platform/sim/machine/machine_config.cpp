// SPDX-License-Identifier: MIT
#include "platform/sim/machine/machine_config.h"

#include <array>
#include <cstdio>

#include "platform/host/file_io.h"
#include "platform/registry/file_registry.h"
#include "platform/sim/machine/installed_browser.h"
#include "platform/sim/machine/installed_hardware.h"

namespace nimbra::sim {

namespace {

struct VersionRow {
  WindowsVersion version;
  std::string_view name;
  VersionRecord record;
  std::string_view windows_dir;
};

// "other" stands for any later Windows the program does not know (here: 6.1).
constexpr std::array<VersionRow, 8> kVersions{{
    {WindowsVersion::Win95, "95", {1, 4, 0, 950}, "C:\\WINDOWS"},
    {WindowsVersion::Win98, "98", {1, 4, 10, 1998}, "C:\\WINDOWS"},
    {WindowsVersion::WinMe, "Me", {1, 4, 90, 3000}, "C:\\WINDOWS"},
    {WindowsVersion::NT3, "NT3", {2, 3, 51, 1057}, "C:\\WINNT"},
    {WindowsVersion::NT4, "NT4", {2, 4, 0, 1381}, "C:\\WINNT"},
    {WindowsVersion::Win2000, "2000", {2, 5, 0, 2195}, "C:\\WINNT"},
    {WindowsVersion::XP, "XP", {2, 5, 1, 2600}, "C:\\WINDOWS"},
    {WindowsVersion::Other, "other", {2, 6, 1, 7601}, "C:\\Windows"},
}};

const VersionRow& row_of(WindowsVersion v) {
  for (const auto& r : kVersions) {
    if (r.version == v) return r;
  }
  return kVersions.back();
}

constexpr size_t kMaxConfigBytes = 1 << 20;

platform::CodePage spec_code_page(const MachineSpec& spec) {
  return spec.language == platform::Language::Japanese ? platform::CodePage::Japanese
                                                       : platform::CodePage::Western;
}

// The files and folders of a machine, apart from machine.ini, that `dir` holds: "registry.reg,
// windows/", or empty.
std::string machine_files_in(const std::filesystem::path& dir) {
  namespace mf = machine_files;
  std::string found;
  for (const std::string_view file :
       {mf::kRegistry, mf::kPhonebook, mf::kConnections, mf::kPower}) {
    std::error_code ec;
    if (std::filesystem::exists(dir / file, ec))
      found += (found.empty() ? "" : ", ") + std::string(file);
  }
  for (const std::string_view folder : {mf::kWindows, mf::kProgram, mf::kDriveC}) {
    std::error_code ec;
    if (std::filesystem::exists(dir / folder, ec)) {
      found += (found.empty() ? "" : ", ") + std::string(folder) + "/";
    }
  }
  return found;
}

}  // namespace

std::optional<WindowsVersion> parse_windows_version(std::string_view name) {
  for (const auto& r : kVersions) {
    if (platform::iequals(r.name, name)) return r.version;
  }
  return std::nullopt;
}

std::string_view windows_version_name(WindowsVersion v) {
  return row_of(v).name;
}
VersionRecord version_record_of(WindowsVersion v) {
  return row_of(v).record;
}
std::string_view windows_directory_of(WindowsVersion v) {
  return row_of(v).windows_dir;
}

std::optional<platform::LocalDateTime> parse_date_time(std::string_view text) {
  platform::LocalDateTime t;
  int consumed = 0;
  const std::string s(text);
  const int n = std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &t.year, &t.month, &t.day,
                            &t.hour, &t.minute, &t.second, &consumed);
  if (n < 5) return std::nullopt;
  if (n == 5) t.second = 0;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
      t.second > 59 || t.year < 1970 || t.hour < 0 || t.minute < 0 || t.second < 0) {
    return std::nullopt;
  }
  return t;
}

MachineConfig MachineConfig::load(const std::filesystem::path& dir) {
  const auto file = dir / machine_files::kConfig;
  const auto text = platform::read_text_file(file, kMaxConfigBytes);
  if (!text) throw MachineError("cannot read " + file.string());
  // Defaults would make another machine (no card): an emptied file is damage, not a choice.
  if (platform::trim_blanks(*text).empty()) {
    throw MachineError(file.string() + ": empty; it says nothing of what the machine is");
  }
  std::string error;
  MachineConfig config;
  config.dir = dir;
  config.ini = platform::IniFile::parse(*text, &error);
  if (!error.empty()) throw MachineError(file.string() + ": " + error);

  const std::string windows = config.ini.get_or("system", "windows", "XP");
  const auto version = parse_windows_version(windows);
  if (!version) {
    throw MachineError(file.string() + ": [system] windows = " + windows +
                       " is not one of 95, 98, Me, NT3, NT4, 2000, XP, other");
  }
  config.windows = *version;

  const std::string language = config.ini.get_or("system", "language", "en");
  if (platform::iequals(language, "ja")) {
    config.language = platform::Language::Japanese;
  } else if (!platform::iequals(language, "en")) {
    throw MachineError(file.string() + ": [system] language = " + language + " is not en or ja");
  }
  config.short_date_format = config.ini.get_or("system", "short_date", "yyyy/MM/dd");
  if (const auto start = config.ini.get("clock", "start")) {
    config.clock_start = parse_date_time(*start);
    if (!config.clock_start) {
      throw MachineError(file.string() + ": [clock] start = " + *start +
                         " is not a date like 2026-12-06 10:00:00");
    }
  }
  return config;
}

bool machine_exists(const std::filesystem::path& dir) {
  return std::filesystem::exists(dir / machine_files::kConfig);
}

void create_machine(const std::filesystem::path& dir, const MachineSpec& spec) {
  if (machine_exists(dir)) throw MachineError(dir.string() + " already holds a machine");
  if (const std::string found = machine_files_in(dir); !found.empty()) {
    throw MachineError(dir.string() + " holds the files of a machine (" + found + ") but no " +
                       std::string(machine_files::kConfig) +
                       ", which says what the machine is; no machine is created over them. Put "
                       "its machine.ini back, or move the directory away to start afresh");
  }
  if (spec.cards.size() > 2) throw MachineError("a machine holds at most two Korvo devices");
  for (const CardInstall& card : spec.cards) {
    if (!is_known_device(card.device)) {
      throw MachineError(card.device + " is not a supported card, adapter or cable");
    }
  }
  std::error_code ec;
  for (const auto sub : {machine_files::kWindows, machine_files::kProgram}) {
    std::filesystem::create_directories(dir / sub, ec);
    if (ec) throw MachineError("cannot create " + (dir / sub).string() + ": " + ec.message());
  }
  platform::IniFile ini;
  ini.set("system", "windows", windows_version_name(spec.windows));
  ini.set("system", "language", spec.language == platform::Language::Japanese ? "ja" : "en");
  ini.set("system", "short_date", "yyyy/MM/dd");
  save_installed_cards(ini, spec.cards);
  // The second device's port has to exist for its modem to open.
  if (spec.cards.size() == 2 && spec.cards[1].port != 1) {
    ini.set("ports", "present", "1," + std::to_string(spec.cards[1].port));
  }
  for (const auto& [port, device] : spec.port_devices) {
    ini.set("ports", "COM" + std::to_string(port), device);
  }
  if (spec.pppd) ini.set("dialup", "service", "pppd");
  const std::string registry = "Windows Registry Editor Version 5.00\n\n";
  if (!platform::write_text_file_atomic(dir / machine_files::kRegistry, registry, 0644) ||
      !platform::write_text_file_atomic(dir / machine_files::kConfig, ini.format(), 0644)) {
    throw MachineError("cannot write the machine files in " + dir.string());
  }
  platform::FileRegistry registry_file(dir / machine_files::kRegistry, spec_code_page(spec));
  if (!registry_file.modify([&spec, &ini](platform::RegistryStore& store) {
        install_hardware(store, spec.windows, spec.cards);
        install_browser(store, ini);
      })) {
    throw MachineError("cannot write the registry of " + dir.string());
  }
}

}  // namespace nimbra::sim
