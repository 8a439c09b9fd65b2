#include "system_devices.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string_view>

namespace nimbra::app {

namespace {

namespace fs = std::filesystem;
using detect::Bus;
using detect::SupportedDevice;

constexpr std::streamsize kMaxAttribute = 256;
constexpr int kMaxTtyDepth = 4;

// A sysfs attribute: its first line.
std::optional<std::string> attribute(const fs::path& file) {
  std::ifstream in(file);
  char line[kMaxAttribute + 1] = {};
  if (!in.getline(line, sizeof line) && in.gcount() == 0) return std::nullopt;
  return std::string(line);
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

// The first tty a device's interfaces carry (ttyACM0, ttyUSB0, ttyS4), found without following
// sysfs's links back up the tree.
fs::path tty_below(const fs::path& device) {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(device, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it.depth() >= kMaxTtyDepth) {
      it.disable_recursion_pending();
      continue;
    }
    const std::string name = it->path().filename().string();
    if (name.starts_with("tty") && name.size() > 3 && it->is_directory(ec)) {
      return fs::path("/dev") / name;
    }
  }
  return {};
}

const SupportedDevice* usb_row(const fs::path& device) {
  const auto vendor = attribute(device / "idVendor");
  const auto product = attribute(device / "idProduct");
  if (!vendor || !product) return nullptr;
  for (const SupportedDevice& row : detect::supported_devices()) {
    if (row.bus == Bus::Usb && id_field(row.nt_instance_id, "Vid_") == lower(*vendor) &&
        id_field(row.nt_instance_id, "Pid_") == lower(*product)) {
      return &row;
    }
  }
  return nullptr;
}

const SupportedDevice* pcmcia_row(const fs::path& device) {
  const auto maker = attribute(device / "prod_id1");
  const auto product = attribute(device / "prod_id2");
  if (!maker || !product) return nullptr;
  const std::string names = identity_text(*maker) + "-" + identity_text(*product);
  for (const SupportedDevice& row : detect::supported_devices()) {
    if (row.bus == Bus::Pcmcia && card_names(row.nt_instance_id) == names) return &row;
  }
  return nullptr;
}

void add_devices(const fs::path& dir, const SupportedDevice* (*row_of)(const fs::path&),
                 std::vector<PluggedDevice>& found) {
  std::error_code ec;
  std::vector<fs::path> devices;
  for (const auto& entry : fs::directory_iterator(dir, ec)) devices.push_back(entry.path());
  std::sort(devices.begin(), devices.end());
  for (const fs::path& device : devices) {
    if (const SupportedDevice* row = row_of(device)) found.push_back({row, tty_below(device)});
  }
}

}  // namespace

std::vector<PluggedDevice> plugged_devices(const fs::path& sysfs) {
  std::vector<PluggedDevice> found;
  add_devices(sysfs / "bus" / "pcmcia" / "devices", pcmcia_row, found);
  add_devices(sysfs / "bus" / "usb" / "devices", usb_row, found);
  return found;
}

}  // namespace nimbra::app
