#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "detect/device_catalogue.h"

namespace nimbra::detect {
namespace {

using UsbId = std::pair<std::string, std::string>;  // vendor, product: four lower-case hex digits

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The udev rule shipped in the package hides exactly the catalogue's USB devices from
// ModemManager, each by the lower-case ids sysfs shows, and only on the events it handles.
TEST(UdevRule, IgnoresExactlyTheCataloguesUsbDevices) {
  std::set<UsbId> catalogue;
  const std::regex instance_id(R"(USB\\Vid_([0-9A-Fa-f]{4})&Pid_([0-9A-Fa-f]{4}))");
  for (const SupportedDevice& device : supported_devices()) {
    if (device.bus != Bus::Usb) continue;
    std::cmatch ids;
    const std::string_view id = device.nt_instance_id;
    ASSERT_TRUE(std::regex_match(id.begin(), id.end(), ids, instance_id)) << id;
    catalogue.emplace(lower(ids[1]), lower(ids[2]));
  }
  ASSERT_EQ(catalogue.size(), 4u);

  std::ifstream rules(NIMBRA_UDEV_RULE);
  ASSERT_TRUE(rules) << NIMBRA_UDEV_RULE;
  const std::regex ignore_line(
      R"re(SUBSYSTEMS=="usb", ATTRS\{idVendor\}=="([0-9a-f]{4})", )re"
      R"re(ATTRS\{idProduct\}=="([0-9a-f]{4})", ENV\{ID_MM_DEVICE_IGNORE\}="1")re");
  std::set<UsbId> ignored;
  bool guarded = false;
  bool ended = false;
  for (std::string line; std::getline(rules, line);) {
    std::smatch ids;
    if (line.empty() || line.front() == '#') continue;
    if (line == R"re(ACTION!="add|change|move|bind", GOTO="nimbra_end")re") {
      guarded = ignored.empty();
    } else if (line == R"re(LABEL="nimbra_end")re") {
      ended = true;
    } else if (std::regex_match(line, ids, ignore_line) && !ended) {
      EXPECT_TRUE(ignored.emplace(ids[1], ids[2]).second) << "listed twice: " << line;
    } else {
      ADD_FAILURE() << "unexpected line: " << line;
    }
  }
  EXPECT_TRUE(guarded) << "the action guard must come first";
  EXPECT_TRUE(ended);
  EXPECT_EQ(ignored, catalogue);
}

}  // namespace
}  // namespace nimbra::detect
