// SPDX-License-Identifier: MIT
#include "system_devices.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace nimbra::app {

namespace {

namespace fs = std::filesystem;
using detect::Bus;
using detect::SupportedDevice;

constexpr size_t kMaxAttribute = 256;
// More entries than a sysfs or /dev directory holds on any real machine.
constexpr size_t kMaxEntries = 4096;

using Problems = std::vector<std::string>;

void note(Problems& problems, const fs::path& entry, int error_number) {
  problems.push_back("cannot read " + entry.string() + ": " +
                     std::generic_category().message(error_number));
}

bool absent(int error_number) {
  return error_number == ENOENT || error_number == ENOTDIR;
}

// A sysfs attribute: its first line. Nothing when there is no such attribute, and nothing with
// a problem noted when it is there but cannot be read.
std::optional<std::string> attribute(const fs::path& file, Problems& problems) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (!absent(errno)) note(problems, file, errno);
    return std::nullopt;
  }
  std::array<char, kMaxAttribute> text{};
  const ssize_t n = ::read(fd, text.data(), text.size());
  const int read_errno = errno;
  ::close(fd);
  if (n < 0) {
    note(problems, file, read_errno);
    return std::nullopt;
  }
  const std::string_view line(text.data(), static_cast<size_t>(n));
  return std::string(line.substr(0, line.find('\n')));
}

// The entries of a directory, sorted; none when it is not there, none with a problem noted when
// it cannot be read.
std::vector<fs::path> entries(const fs::path& dir, Problems& problems) {
  std::vector<fs::path> paths;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end && paths.size() < kMaxEntries;
       it.increment(ec)) {
    paths.push_back(it->path());
  }
  if (ec && !absent(ec.value())) note(problems, dir, ec.value());
  std::sort(paths.begin(), paths.end());
  return paths;
}

bool is_tty_name(const std::string& name) {
  return name.size() > 3 && name.starts_with("tty");
}

std::string lower(std::string_view s) {
  std::string l(s);
  std::transform(l.begin(), l.end(), l.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  return l;
}

// "0f3a" out of "USB\Vid_0f3a&Pid_0a12" for "Vid_".
std::string id_field(std::string_view identity, std::string_view name) {
  const size_t at = identity.find(name);
  if (at == std::string_view::npos) return "";
  return lower(identity.substr(at + name.size(), 4));
}

// "ARLEN_DENSHI_CO._LTD-KVT30-J" out of "PCMCIA\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1\1".
std::string_view card_names(std::string_view identity) {
  identity.remove_prefix(std::min(identity.size(), identity.find('\\') + 1));
  identity = identity.substr(0, identity.find('\\'));
  return identity.substr(0, identity.rfind('-'));
}

std::string identity_text(std::string_view s) {
  std::string t(s);
  std::replace_if(
      t.begin(), t.end(), [](char c) { return c == ' ' || c == ','; }, '_');
  return t;
}

// The tty a driver made for one function of a device: tty/ttyACM0 (cdc-acm, and serial PC
// Cards: tty/ttyS4) or ttyUSB0 (the usb-serial drivers).
std::string tty_of_function(const fs::path& function, Problems& problems) {
  for (const fs::path& entry : entries(function / "tty", problems)) {
    if (is_tty_name(entry.filename().string())) return entry.filename().string();
  }
  for (const fs::path& entry : entries(function, problems)) {
    std::error_code ec;
    if (is_tty_name(entry.filename().string()) && fs::is_directory(entry, ec)) {
      return entry.filename().string();
    }
  }
  return "";
}

// The tty of the lowest-numbered interface that has one ("1-1:1.0" is interface 0 of device
// 1-1): the modem, on devices that add a diagnostic port on a later interface.
std::string usb_modem_tty(const fs::path& device, Problems& problems) {
  const std::string prefix = device.filename().string() + ":";
  std::optional<unsigned> lowest;
  std::string tty;
  for (const fs::path& entry : entries(device, problems)) {
    if (!entry.filename().string().starts_with(prefix)) continue;
    const auto number_text = attribute(entry / "bInterfaceNumber", problems);
    if (!number_text) continue;
    unsigned number = 0;
    const char* end = number_text->data() + number_text->size();
    if (std::from_chars(number_text->data(), end, number, 16).ptr != end) {
      problems.push_back((entry / "bInterfaceNumber").string() + " holds no interface number: \"" +
                         *number_text + "\"");
      continue;
    }
    if (lowest && number >= *lowest) continue;
    std::string found = tty_of_function(entry, problems);
    if (found.empty()) continue;
    lowest = number;
    tty = std::move(found);
  }
  return tty;
}

// The link in /dev/serial/by-id that leads to `tty`, where udev made one.
fs::path stable_name_of(const fs::path& tty, const fs::path& dev, Problems& problems) {
  std::error_code ec;
  const fs::path target = fs::canonical(tty, ec);
  if (ec) return tty;
  for (const fs::path& link : entries(dev / "serial" / "by-id", problems)) {
    if (fs::canonical(link, ec) == target && !ec) return link;
  }
  return tty;
}

const SupportedDevice* usb_row(const fs::path& device, Problems& problems) {
  const auto vendor = attribute(device / "idVendor", problems);
  const auto product = attribute(device / "idProduct", problems);
  if (!vendor || !product) return nullptr;
  for (const SupportedDevice& row : detect::supported_devices()) {
    if (row.bus == Bus::Usb && id_field(row.nt_instance_id, "Vid_") == lower(*vendor) &&
        id_field(row.nt_instance_id, "Pid_") == lower(*product)) {
      return &row;
    }
  }
  return nullptr;
}

const SupportedDevice* pcmcia_row(const fs::path& device, Problems& problems) {
  const auto maker = attribute(device / "prod_id1", problems);
  const auto product = attribute(device / "prod_id2", problems);
  if (!maker || !product) return nullptr;
  const std::string names = identity_text(*maker) + "-" + identity_text(*product);
  for (const SupportedDevice& row : detect::supported_devices()) {
    if (row.bus == Bus::Pcmcia && card_names(row.nt_instance_id) == names) return &row;
  }
  return nullptr;
}

struct BusWalk {
  const SupportedDevice* (*row_of)(const fs::path&, Problems&);
  std::string (*tty_of)(const fs::path&, Problems&);
};

void add_devices(const fs::path& dir, const BusWalk& walk, const fs::path& dev, SystemScan& scan) {
  for (const fs::path& device : entries(dir, scan.problems)) {
    const SupportedDevice* row = walk.row_of(device, scan.problems);
    if (!row) continue;
    const std::string tty = walk.tty_of(device, scan.problems);
    if (tty.empty()) {
      scan.devices.push_back({row, {}, {}});
      continue;
    }
    const fs::path node = dev / tty;
    scan.devices.push_back({row, node, stable_name_of(node, dev, scan.problems)});
  }
}

}  // namespace

SystemScan plugged_devices(const fs::path& sysfs, const fs::path& dev) {
  SystemScan scan;
  add_devices(sysfs / "bus" / "pcmcia" / "devices", {pcmcia_row, tty_of_function}, dev, scan);
  add_devices(sysfs / "bus" / "usb" / "devices", {usb_row, usb_modem_tty}, dev, scan);
  return scan;
}

}  // namespace nimbra::app
