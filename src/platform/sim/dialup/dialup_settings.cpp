// SPDX-License-Identifier: MIT
#include "platform/sim/dialup/dialup_settings.h"

#include <algorithm>

#include "platform/records/ras_records.h"
#include "platform/sim/dialup/ini_text.h"

namespace nimbra::sim {

namespace {

using namespace platform;
namespace er = platform::entry_record;

constexpr std::string_view kDialup = "dialup";
constexpr std::string_view kRas = "ras";
constexpr size_t kMostConnections = 16;

struct NamedState {
  RasConnState state;
  std::string_view name;
};

constexpr NamedState kStateNames[] = {
    {RASCS_OpenPort, "OpenPort"},
    {RASCS_PortOpened, "PortOpened"},
    {RASCS_ConnectDevice, "ConnectDevice"},
    {RASCS_DeviceConnected, "DeviceConnected"},
    {RASCS_AllDevicesConnected, "AllDevicesConnected"},
    {RASCS_Authenticate, "Authenticate"},
    {RASCS_AuthNotify, "AuthNotify"},
    {RASCS_AuthAck, "AuthAck"},
    {RASCS_Authenticated, "Authenticated"},
    {RASCS_Connected, "Connected"},
};

[[noreturn]] void bad_key(std::string_view section, std::string_view key, std::string_view value,
                          std::string_view expected) {
  throw MachineError("machine.ini: [" + std::string(section) + "] " + std::string(key) + " = " +
                     std::string(value) + " is not " + std::string(expected));
}

std::vector<std::string> list_of(std::string_view value) {
  std::vector<std::string> items;
  while (!value.empty()) {
    const size_t comma = value.find(',');
    const std::string_view item = trim_blanks(value.substr(0, comma));
    if (!item.empty()) items.emplace_back(item);
    value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
  }
  return items;
}

std::vector<Account> accounts_of(std::string_view value) {
  std::vector<Account> accounts;
  for (const std::string& item : list_of(value)) {
    const size_t colon = item.find(':');
    if (colon == std::string::npos) bad_key(kDialup, "accept", item, "a user:password pair");
    accounts.push_back(Account{item.substr(0, colon), item.substr(colon + 1)});
  }
  return accounts;
}

// The record sizes RAS of each Windows accepts; XP also takes the records of Windows 2000.
std::set<uint32_t> known_entry_sizes(WindowsVersion windows) {
  switch (windows) {
    case WindowsVersion::Win2000:
      return {er::kSize2000};
    case WindowsVersion::XP:
    case WindowsVersion::Other:
      return {er::kSize2000, er::kSizeXp};
    default:
      return {er::kSize9x};
  }
}

uint32_t default_entry_size(WindowsVersion windows) {
  switch (windows) {
    case WindowsVersion::Win2000:
      return er::kSize2000;
    case WindowsVersion::XP:
    case WindowsVersion::Other:
      return er::kSizeXp;
    default:
      return er::kSize9x;
  }
}

}  // namespace

bool is_nt_family(WindowsVersion windows) {
  return windows != WindowsVersion::Win95 && windows != WindowsVersion::Win98 &&
         windows != WindowsVersion::WinMe;
}

const std::vector<DialStep>& dial_walk() {
  // Dialling and the modem's training take the longest; about four seconds in all.
  static const std::vector<DialStep> walk{
      {RASCS_OpenPort, 50},
      {RASCS_PortOpened, 250},
      {RASCS_ConnectDevice, 250},
      {RASCS_DeviceConnected, 1800},
      {RASCS_AllDevicesConnected, 100},
      {RASCS_Authenticate, 200},
      {RASCS_AuthNotify, 400},
      {RASCS_AuthAck, 300},
      {RASCS_Authenticated, 300},
      {RASCS_Connected, 250},
  };
  return walk;
}

std::optional<RasConnState> parse_dial_state(std::string_view name) {
  if (name.starts_with("RASCS_")) name.remove_prefix(6);
  const uint32_t number = ini_number(name, UINT32_MAX);
  for (const NamedState& s : kStateNames) {
    if (iequals(s.name, name) || s.state == number) return s.state;
  }
  return std::nullopt;
}

std::string_view dial_state_name(RasConnState state) {
  for (const NamedState& s : kStateNames) {
    if (s.state == state) return s.name;
  }
  return "";
}

DialupSettings DialupSettings::load(const MachineConfig& config) {
  const IniFile& ini = config.ini;
  DialupSettings s;
  s.nt_family = is_nt_family(config.windows);
  const std::string outcome = ini.get_or(kDialup, "outcome", "connect");
  if (iequals(outcome, "connect")) {
    s.outcome = DialOutcome::Connect;
  } else if (iequals(outcome, "fail")) {
    s.outcome = DialOutcome::Fail;
    s.error = ERROR_NO_ANSWER;
  } else if (iequals(outcome, "refuse")) {
    s.outcome = DialOutcome::Refuse;
    s.error = ERROR_PORT_NOT_AVAILABLE;
  } else {
    bad_key(kDialup, "outcome", outcome, "connect, fail or refuse");
  }
  if (const auto error = ini.get(kDialup, "error")) {
    s.error = ini_number(*error, 0);
    if (s.error == 0) bad_key(kDialup, "error", *error, "a non-zero error code");
  }
  if (const auto at = ini.get(kDialup, "fail_at")) {
    const auto state = parse_dial_state(*at);
    if (!state || *state == RASCS_Connected) {
      bad_key(kDialup, "fail_at", *at, "a dial state from OpenPort to Authenticated");
    }
    s.fail_at = *state;
  }
  if (const auto accept = ini.get(kDialup, "accept")) s.accept = accounts_of(*accept);
  if (const auto others = ini.get(kDialup, "other_connections")) {
    s.other_connections = list_of(*others);
  }
  if (const auto most = ini.get(kDialup, "max_connections")) {
    s.max_connections = ini_number(*most, 0);
    if (s.max_connections == 0 || s.max_connections > kMostConnections) {
      bad_key(kDialup, "max_connections", *most, "a number from 1 to 16");
    }
  }
  const std::string service = ini.get_or(kDialup, "service", "simulated");
  if (iequals(service, "pppd")) {
    s.service = DialupKind::Pppd;
  } else if (!iequals(service, "simulated")) {
    bad_key(kDialup, "service", service, "simulated or pppd");
  }
  s.pppd_program = ini.get_or(kDialup, "pppd", s.pppd_program);
  if (!s.pppd_program.starts_with('/')) bad_key(kDialup, "pppd", s.pppd_program, "a full path");
  s.pppd_run_dir = ini.get_or(kDialup, "run_dir", s.pppd_run_dir);
  if (!s.pppd_run_dir.starts_with('/')) bad_key(kDialup, "run_dir", s.pppd_run_dir, "a full path");
  s.lock_dir = ini.get_or(kDialup, "lock_dir", s.lock_dir);
  if (!s.lock_dir.starts_with('/')) bad_key(kDialup, "lock_dir", s.lock_dir, "a full path");
  s.pppd_peer = ini.get_or(kDialup, "peer", s.pppd_peer);
  if (s.pppd_peer.empty() || s.pppd_peer.find('/') != std::string::npos) {
    bad_key(kDialup, "peer", s.pppd_peer, "a peers file name");
  }
  s.entry_sizes = known_entry_sizes(config.windows);
  s.entry_size = default_entry_size(config.windows);
  if (const auto size = ini.get(kRas, "entry_size")) {
    s.entry_size = ini_number(*size, 0);
    constexpr uint32_t kSizes[] = {er::kSizeLegacy, er::kSize9x, er::kSize2000, er::kSizeXp};
    if (std::find(std::begin(kSizes), std::end(kSizes), s.entry_size) == std::end(kSizes)) {
      bad_key(kRas, "entry_size", *size, "1672, 1768, 2088 or 2884");
    }
    s.entry_sizes.insert(s.entry_size);
  }
  return s;
}

}  // namespace nimbra::sim
