// SPDX-License-Identifier: MIT
#include <fnmatch.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "detect/device_catalogue.h"

namespace nimbra::detect {
namespace {

using Attributes = std::map<std::string, std::string>;

// What sysfs shows of a catalogue device: a USB device's lower-case ids; a PC Card's maker and
// product strings out of its identity ("PCMCIA\ARLEN_DENSHI-KVT31-J-3D9A\1" gives "ARLEN DENSHI"
// and "KVT31-J").
Attributes sysfs_attributes(const SupportedDevice& device) {
  std::string id(device.nt_instance_id);
  std::transform(id.begin(), id.end(), id.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (device.bus == Bus::Usb) {
    return {{"idVendor", id.substr(id.find("vid_") + 4, 4)},
            {"idProduct", id.substr(id.find("pid_") + 4, 4)}};
  }
  std::string names(device.nt_instance_id);
  names = names.substr(names.find('\\') + 1);
  names = names.substr(0, names.find('\\'));
  names = names.substr(0, names.rfind('-'));
  std::replace(names.begin(), names.end(), '_', ' ');
  const size_t dash = names.find('-');
  return {{"prod_id1", names.substr(0, dash)}, {"prod_id2", names.substr(dash + 1)}};
}

bool rule_matches(const Attributes& rule, const Attributes& device) {
  return std::all_of(rule.begin(), rule.end(), [&](const auto& match) {
    const auto value = device.find(match.first);
    return value != device.end() && fnmatch(match.second.c_str(), value->second.c_str(), 0) == 0;
  });
}

// The udev rule shipped in the package hides exactly the catalogue's devices from ModemManager:
// the USB adapters and cables by the ids sysfs shows, the PC Cards by their maker and product
// strings under udev's glob matching; only on the events it handles, and every line of it names
// a catalogue device.
TEST(UdevRule, IgnoresExactlyTheCataloguesDevices) {
  std::ifstream file(NIMBRA_UDEV_RULE);
  ASSERT_TRUE(file) << NIMBRA_UDEV_RULE;
  const std::regex ignore_line(
      R"re(SUBSYSTEMS=="(usb|pcmcia)", ((ATTRS\{\w+\}=="[^"]+", )+)ENV\{ID_MM_DEVICE_IGNORE\}="1")re");
  const std::regex attribute(R"re(ATTRS\{(\w+)\}=="([^"]+)")re");
  std::vector<Attributes> rules;
  bool guarded = false;
  bool ended = false;
  for (std::string line; std::getline(file, line);) {
    std::smatch parts;
    if (line.empty() || line.front() == '#') continue;
    if (line == R"re(ACTION!="add|change|move|bind", GOTO="nimbra_end")re") {
      guarded = rules.empty();
    } else if (line == R"re(LABEL="nimbra_end")re") {
      ended = true;
    } else if (std::regex_match(line, parts, ignore_line) && !ended) {
      const std::string matches = parts[2];
      Attributes rule;
      for (std::sregex_iterator it(matches.begin(), matches.end(), attribute), end; it != end;
           ++it) {
        rule[(*it)[1]] = (*it)[2];
      }
      rules.push_back(rule);
    } else {
      ADD_FAILURE() << "unexpected line: " << line;
    }
  }
  EXPECT_TRUE(guarded) << "the action guard must come first";
  EXPECT_TRUE(ended);

  std::vector<Attributes> catalogue;
  for (const SupportedDevice& device : supported_devices()) {
    catalogue.push_back(sysfs_attributes(device));
  }
  for (const Attributes& device : catalogue) {
    EXPECT_TRUE(std::any_of(rules.begin(), rules.end(),
                            [&](const Attributes& rule) { return rule_matches(rule, device); }))
        << "no rule for " << device.begin()->second << " " << device.rbegin()->second;
  }
  EXPECT_EQ(rules.size(), catalogue.size());
  for (const Attributes& rule : rules) {
    EXPECT_EQ(std::count_if(catalogue.begin(), catalogue.end(),
                            [&](const Attributes& device) { return rule_matches(rule, device); }),
              1);
  }
  // A blank and a comma are both what "?" stands for; another maker is not ignored.
  EXPECT_TRUE(std::any_of(rules.begin(), rules.end(), [](const Attributes& rule) {
    return rule_matches(rule, {{"prod_id1", "ARLEN DENSHI CO.,LTD"}, {"prod_id2", "KVT30-J"}});
  }));
  EXPECT_FALSE(std::any_of(rules.begin(), rules.end(), [](const Attributes& rule) {
    return rule_matches(rule, {{"prod_id1", "OTHER"}, {"prod_id2", "KVT30-J"}});
  }));
}

}  // namespace
}  // namespace nimbra::detect
