// SPDX-License-Identifier: MIT
#include "detect/modem_detection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detect/registry_helpers.h"
#include "nimbra_test/test_machine.h"

namespace nimbra::detect {
namespace {

using sim::CardInstall;
using sim::WindowsVersion;
using test::TestMachine;

constexpr const char* kHklm = "HKEY_LOCAL_MACHINE\\";
constexpr const char* kServiceList =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\modem\\Enum";
constexpr const char* kKvt30Instance = "PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1\\1";
const std::string kKvt30Parameters = std::string(kHklm) + "System\\CurrentControlSet\\Enum\\" +
                                     kKvt30Instance + "\\Device Parameters";

sim::MachineSpec machine(WindowsVersion windows, std::vector<CardInstall> cards) {
  return {windows, platform::Language::English, std::move(cards)};
}

struct Outcome {
  int message = 0;  // 0: detection succeeded
  std::vector<std::string> models;
  std::vector<int16_t> ports;
};

Outcome start(TestMachine& m) {
  auto& program = m.start();
  Outcome outcome;
  if (program.ended) {
    EXPECT_EQ(program.boxes().size(), 1u);
    for (const int id : {111, 119, 120, 166, 167}) {
      if (program.boxes().front().text == program.app->catalogue.text(id)) outcome.message = id;
    }
    EXPECT_FALSE(program.form().visible);
  }
  const size_t count = static_cast<size_t>(std::min<int>(program.app->ModemCount, 11));
  for (size_t i = 0; i < count; ++i) {
    outcome.models.push_back(program.app->ModemList[i].model_name);
    outcome.ports.push_back(program.app->ModemList[i].port);
  }
  return outcome;
}

void change_registry(TestMachine& m, const std::function<void(platform::RegistryStore&)>& change) {
  ASSERT_TRUE(m.machine().registry().modify(change));
}

// Every supported device, installed as Windows installs it, is found on its port by the NT
// walk on XP and the 9x walk on 98 and 95.
TEST(BothWalks, FindEveryCatalogueDevice) {
  const char* models[] = {"KVT30-J",  "KVT30C-J", "KVT31-J",   "KVT31C-J", "KVR20C-J",
                          "PX-301KV", "UCA2-PCX", "UCA2-PCXG", "Glider X", "Glider U"};
  for (const char* model : models) {
    for (const WindowsVersion windows :
         {WindowsVersion::XP, WindowsVersion::Win98, WindowsVersion::Win95}) {
      TestMachine m(machine(windows, {{model, 7, ""}}));
      const Outcome outcome = start(m);
      const auto name = sim::windows_version_name(windows);
      EXPECT_EQ(outcome.message, 0) << model << " on " << name;
      EXPECT_EQ(outcome.models, std::vector<std::string>{model}) << model << " on " << name;
      EXPECT_EQ(outcome.ports, std::vector<int16_t>{7}) << model << " on " << name;
    }
  }
}

// The NT walk over the modem service list: the outcome and the modems it records.
TEST(NtWalk, Outcomes) {
  struct Row {
    const char* name;
    WindowsVersion windows;
    std::vector<CardInstall> cards;
    int message;
    std::vector<std::string> models;
    std::vector<int16_t> ports;
  };
  const Row rows[] = {
      {"no device", WindowsVersion::XP, {}, 120, {}, {}},
      {"COM10", WindowsVersion::Win2000, {{"PX-301KV", 10, ""}}, 0, {"PX-301KV"}, {10}},
      {"USB adapter", WindowsVersion::XP, {{"UCA2-PCXG", 4, "7&1f2e&0&2"}}, 0, {"UCA2-PCXG"}, {4}},
      {"card and cable",
       WindowsVersion::XP,
       {{"KVT31-J", 3, ""}, {"Glider X", 6, ""}},
       167,
       {"KVT31-J", "Glider X"},
       {3, 6}},
      {"second copy of a card", WindowsVersion::XP, {{"KVT30C-J", 3, "2"}}, 120, {}, {}},
  };
  for (const Row& r : rows) {
    TestMachine m(machine(r.windows, r.cards));
    const Outcome outcome = start(m);
    EXPECT_EQ(outcome.message, r.message) << r.name;
    EXPECT_EQ(outcome.models, r.models) << r.name;
    EXPECT_EQ(outcome.ports, r.ports) << r.name;
  }
}

// "Count" is read from its first byte whatever its type; an unreadable Count ends with 119.
TEST(NtWalk, CountValue) {
  for (const bool present : {true, false}) {
    TestMachine m(machine(WindowsVersion::XP, {{"KVT30-J", 3, ""}}));
    change_registry(m, [present](platform::RegistryStore& reg) {
      if (present) reg.set_binary(kServiceList, "Count", std::vector<uint8_t>{0x01, 0x07});
      if (!present) reg.delete_value(kServiceList, "Count");
    });
    EXPECT_EQ(start(m).message, present ? 0 : 119);
  }
}

// A PortName that cannot be read records the last port read (0 when none was read), and a
// PortName longer than the registry buffer cannot be read.
TEST(NtWalk, UnreadablePortName) {
  TestMachine m(machine(WindowsVersion::XP, {{"Glider U", 5, ""}, {"KVT30-J", 3, ""}}));
  change_registry(m, [](platform::RegistryStore& reg) {
    reg.set_string(kKvt30Parameters, "PortName", "COM" + std::string(300, '4'));
  });
  const Outcome outcome = start(m);
  EXPECT_EQ(outcome.message, 167);
  EXPECT_EQ(outcome.models, (std::vector<std::string>{"Glider U", "KVT30-J"}));
  EXPECT_EQ(outcome.ports, (std::vector<int16_t>{5, 5}));
}

// The instance and PortName values are read as text whatever their registry type.
TEST(NtWalk, ValuesOfAnyType) {
  TestMachine m(machine(WindowsVersion::XP, {{"KVT30-J", 3, ""}}));
  change_registry(m, [](platform::RegistryStore& reg) {
    const auto bytes = [](std::string_view text) {
      std::vector<uint8_t> data(text.begin(), text.end());
      data.push_back(0);
      return data;
    };
    reg.set_binary(kServiceList, "0", bytes(kKvt30Instance));
    reg.set_binary(kKvt30Parameters, "PortName", bytes("COM7"));
  });
  const Outcome outcome = start(m);
  EXPECT_EQ(outcome.message, 0);
  EXPECT_EQ(outcome.ports, (std::vector<int16_t>{7}));
}

// Hits beyond the eleven slots still mean "two or more" and write nothing past the list.
TEST(NtWalk, MoreHitsThanSlots) {
  TestMachine m(machine(WindowsVersion::XP, {{"KVT30-J", 3, ""}}));
  change_registry(m, [](platform::RegistryStore& reg) {
    for (int i = 0; i < 40; ++i) {
      reg.set_string(kServiceList, std::to_string(i), kKvt30Instance);
    }
    reg.set_dword(kServiceList, "Count", 40);
  });
  const Outcome outcome = start(m);
  EXPECT_EQ(outcome.message, 167);
  EXPECT_EQ(outcome.models.size(), 11u);
}

// The 9x walk over the installed modem drivers, proving each port by opening it.
TEST(NineXWalk, Outcomes) {
  struct Row {
    std::vector<CardInstall> cards;
    std::string extra_ini;
    int message;
    std::vector<std::string> models;
  };
  const Row rows[] = {
      {{}, "", 119, {}},
      {{{"KVT30-J", 3, ""}}, "[ports]\nheld = 3\n", 119, {}},
      {{{"KVT30-J", 3, ""}, {"KVT31C-J", 4, ""}}, "", 166, {"KVT30-J", "KVT31C-J"}},
  };
  for (const Row& r : rows) {
    TestMachine m(machine(WindowsVersion::Win98, r.cards), r.extra_ini);
    const Outcome outcome = start(m);
    EXPECT_EQ(outcome.message, r.message) << r.extra_ini << r.cards.size();
    EXPECT_EQ(outcome.models, r.models) << r.extra_ini << r.cards.size();
  }
}

// The adapters are sought under the Windows 95 key on Windows 95 only.
TEST(NineXWalk, AdapterKeysFollowTheWindowsVersion) {
  struct Row {
    WindowsVersion windows;
    const char* enum_key;
    int message;
  };
  const Row rows[] = {
      {WindowsVersion::Win95, "Enum\\USB\\QRDATAUCA2PCX", 0},
      {WindowsVersion::Win95, "Enum\\WDM_MODEM\\QRDATAUCA2PCX", 119},
      {WindowsVersion::Win98, "Enum\\WDM_MODEM\\QRDATAUCA2PCX", 0},
      {WindowsVersion::Win98, "Enum\\USB\\QRDATAUCA2PCX", 119},
  };
  for (const Row& r : rows) {
    TestMachine m(machine(r.windows, {}), "[ports]\npresent = 3\n");
    change_registry(m, [&r](platform::RegistryStore& reg) {
      reg.set_string(std::string(kHklm) + "System\\CurrentControlSet\\Services\\Class\\Modem\\0000",
                     "DriverDesc", "Q-R DATA UCA2-PCX");
      const std::string device = std::string(kHklm) + r.enum_key + "\\0000";
      reg.set_string(device, "Driver", "Modem\\0000");
      reg.set_string(device, "PortName", "COM3");
    });
    EXPECT_EQ(start(m).message, r.message) << r.enum_key;
  }
}

// A second driver of the same model without its own instance, and a Driver value without a
// backslash, add nothing.
TEST(NineXWalk, InstanceMustNameItsDriver) {
  TestMachine m(machine(WindowsVersion::Win98, {{"KVT30-J", 3, ""}}));
  change_registry(m, [](platform::RegistryStore& reg) {
    const std::string classes =
        std::string(kHklm) + "System\\CurrentControlSet\\Services\\Class\\Modem\\";
    reg.set_string(classes + "0001", "DriverDesc", "ARLEN DENSHI CO.,LTD. KVT30-J");
    reg.set_string(classes + "0002", "DriverDesc", "ARLEN DENSHI CO.,LTD. KVT30-J");
    const std::string stray =
        std::string(kHklm) + "Enum\\PCMCIA\\ARLEN_DENSHI_CO._LTD-KVT30-J-E4F1\\9";
    reg.set_string(stray, "Driver", "0002");
    reg.set_string(stray, "PortName", "COM3");
  });
  const Outcome outcome = start(m);
  EXPECT_EQ(outcome.message, 0);
  EXPECT_EQ(outcome.models, std::vector<std::string>{"KVT30-J"});
  EXPECT_EQ(outcome.ports, std::vector<int16_t>{3});
}

// Port numbers are read from the fourth character on.
TEST(PortNumber, FromPortName) {
  const std::pair<const char*, int16_t> rows[] = {
      {"COM3", 3},  {"COM12", 12}, {"COM", 0},      {"COMx", 0},
      {"COM 7", 7}, {"COM4a", 4},  {"COM99999", 0},
  };
  for (const auto& [name, port] : rows) EXPECT_EQ(port_number(name), port) << name;
}

}  // namespace
}  // namespace nimbra::detect
