// SPDX-License-Identifier: MIT
// nimbra-machine init --from-system: the supported devices found in a fake sysfs tree, and the
// machine made from them.
#include "system_devices.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "nimbra_test/run_program.h"
#include "nimbra_test/temp_dir.h"
#include "platform/host/file_io.h"
#include "system_machine.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

void write(const fs::path& file, std::string_view text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << "\n";
}

// A USB device with its ids and, when given, a tty on its first interface (cdc-acm's layout).
void usb(const fs::path& sysfs, std::string_view name, std::string_view vendor,
         std::string_view product, std::string_view tty) {
  const fs::path dir = sysfs / "bus/usb/devices" / name;
  write(dir / "idVendor", vendor);
  write(dir / "idProduct", product);
  if (tty.empty()) return;
  const fs::path interface = dir / (std::string(name) + ":1.0");
  write(interface / "bInterfaceNumber", "00");
  fs::create_directories(interface / "tty" / tty);
}

void pc_card(const fs::path& sysfs, std::string_view name, std::string_view maker,
             std::string_view product, std::string_view tty) {
  const fs::path dir = sysfs / "bus/pcmcia/devices" / name;
  write(dir / "prod_id1", maker);
  write(dir / "prod_id2", product);
  if (!tty.empty()) fs::create_directories(dir / "tty" / tty);
}

// Runs nimbra-machine with `args`; its exit status and output.
test::ProgramRun run_tool(std::vector<std::string> args) {
  args.insert(args.begin(), NIMBRA_MACHINE_TOOL);
  return test::run_program(args).value_or(test::ProgramRun{-1, "not started"});
}

// Devices are known by their USB ids (either letter case) or their PC Card strings; others,
// and hubs and interfaces without ids, are passed over.
TEST(SystemDevices, FindsCatalogueDevicesWithTheirTtys) {
  test::TempDir sysfs;
  pc_card(sysfs.path(), "0.0", "ARLEN DENSHI CO.,LTD", "KVT30-J", "ttyS4");
  pc_card(sysfs.path(), "1.0", "ARLEN DENSHI CO.,LTD", "KVT30-JX", "ttyS5");  // no such card
  usb(sysfs.path(), "1-1", "0F3A", "0A12", "ttyACM0");
  usb(sysfs.path(), "1-2", "0e71", "0019", "");  // no driver bound: no tty
  usb(sysfs.path(), "1-3", "0f3a", "0a13", "ttyACM1");
  usb(sysfs.path(), "usb1", "1d6b", "0002", "");
  fs::create_directories(sysfs / "bus/usb/devices/1-1:1.0");

  const auto found = app::plugged_devices(sysfs.path(), sysfs / "dev").devices;
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].device->model_name, "KVT30-J");
  EXPECT_EQ(found[0].tty, sysfs / "dev/ttyS4");
  EXPECT_EQ(found[1].device->model_name, "UCA2-PCX");
  EXPECT_EQ(found[1].tty, sysfs / "dev/ttyACM0");
  EXPECT_EQ(found[2].device->model_name, "Glider U");
  EXPECT_TRUE(found[2].tty.empty());
}

// One serial function of a USB device: interface `number` (hex) with its tty in cdc-acm's
// layout (tty/ttyACM0) or usb-serial's (ttyUSB0/tty/ttyUSB0).
void usb_interface(const fs::path& sysfs, std::string_view device, std::string_view interface,
                   std::string_view number, std::string_view tty) {
  const fs::path dir = sysfs / "bus/usb/devices" / device / interface;
  write(dir / "bInterfaceNumber", number);
  if (tty.starts_with("ttyUSB")) {
    fs::create_directories(dir / tty / "tty" / tty);
  } else {
    fs::create_directories(dir / "tty" / tty);
  }
}

// On a device with a modem and a diagnostic port the modem is the tty of the lowest interface
// number, whatever the ttys' names and the order the interfaces are listed in, in both drivers'
// layouts.
TEST(SystemDevices, ModemTtyIsOnTheLowestInterface) {
  struct Interface {
    std::string_view name, number, tty;
  };
  struct Row {
    std::vector<Interface> interfaces;  // made in this order
    std::string_view modem;
  };
  const Row rows[] = {
      {{{"1-1:1.2", "02", "ttyACM0"}, {"1-1:1.0", "00", "ttyACM1"}}, "ttyACM1"},
      {{{"1-1:1.10", "0a", "ttyACM0"}, {"1-1:1.2", "02", "ttyACM3"}}, "ttyACM3"},
      {{{"1-1:1.3", "03", "ttyUSB1"}, {"1-1:1.1", "01", ""}, {"1-1:1.0", "00", "ttyUSB2"}},
       "ttyUSB2"},
      {{{"1-1:1.1", "01", "ttyUSB0"}, {"1-1:1.0", "00", ""}}, "ttyUSB0"},
  };
  for (const Row& row : rows) {
    test::TempDir sysfs;
    usb(sysfs.path(), "1-1", "0e71", "001c", "");
    for (const Interface& i : row.interfaces) {
      if (i.tty.empty()) {
        write(sysfs / "bus/usb/devices/1-1" / i.name / "bInterfaceNumber", i.number);
      } else {
        usb_interface(sysfs.path(), "1-1", i.name, i.number, i.tty);
      }
    }
    const auto scan = app::plugged_devices(sysfs.path(), "/dev");
    ASSERT_EQ(scan.devices.size(), 1u);
    EXPECT_EQ(scan.devices[0].tty, fs::path("/dev") / row.modem);
    EXPECT_TRUE(scan.problems.empty());
  }
}

// The stable name is the /dev/serial/by-id link that leads to the modem's tty; without one it
// is the tty itself.
TEST(SystemDevices, StableNameFromSerialById) {
  test::TempDir root;
  const fs::path sysfs = root / "sys";
  const fs::path dev = root / "dev";
  usb(sysfs, "1-1", "0f3a", "0a12", "");
  usb_interface(sysfs, "1-1", "1-1:1.0", "00", "ttyACM1");
  usb_interface(sysfs, "1-1", "1-1:1.2", "02", "ttyACM2");
  usb(sysfs, "1-2", "0e71", "0019", "ttyACM4");
  for (const std::string_view tty : {"ttyACM1", "ttyACM2", "ttyACM4"}) write(dev / tty, "");
  const fs::path by_id = dev / "serial/by-id";
  fs::create_directories(by_id);
  fs::create_symlink("../../ttyACM2", by_id / "usb-QR_DATA_UCA2-PCX-if02");
  fs::create_symlink("../../ttyACM1", by_id / "usb-QR_DATA_UCA2-PCX-if00");

  const auto scan = app::plugged_devices(sysfs, dev);
  ASSERT_EQ(scan.devices.size(), 2u);
  EXPECT_EQ(scan.devices[0].tty, dev / "ttyACM1");
  EXPECT_EQ(scan.devices[0].stable_name, by_id / "usb-QR_DATA_UCA2-PCX-if00");
  EXPECT_EQ(scan.devices[1].stable_name, dev / "ttyACM4");
}

// A sysfs entry that cannot be read is named with the reason; the other devices are still found.
TEST(SystemDevices, UnreadableEntryIsAProblemNotAnException) {
  test::TempDir sysfs;
  usb(sysfs.path(), "1-1", "0f3a", "0a12", "ttyACM0");
  fs::create_directories(sysfs / "bus/usb/devices/1-2/idVendor");
  usb(sysfs.path(), "1-3", "0e71", "001c", "");
  fs::create_directories(sysfs / "bus/usb/devices/1-3/1-3:1.0/bInterfaceNumber");
  usb_interface(sysfs.path(), "1-3", "1-3:1.1", "zz", "ttyACM1");

  const auto scan = app::plugged_devices(sysfs.path(), "/dev");
  ASSERT_EQ(scan.devices.size(), 2u);
  EXPECT_EQ(scan.devices[0].tty, "/dev/ttyACM0");
  EXPECT_TRUE(scan.devices[1].tty.empty());
  const std::vector<std::string> problems{
      "cannot read " + (sysfs / "bus/usb/devices/1-2/idVendor").string() + ": Is a directory",
      "cannot read " + (sysfs / "bus/usb/devices/1-3/1-3:1.0/bInterfaceNumber").string() +
          ": Is a directory",
      (sysfs / "bus/usb/devices/1-3/1-3:1.1/bInterfaceNumber").string() +
          " holds no interface number: \"zz\""};
  EXPECT_EQ(scan.problems, problems);
}

// The machine made from the computer maps COM3 to the adapter's stable name, dials with pppd
// and carries the registry keys detection finds the modem by; an unreadable entry is told;
// without a device nothing is written.
TEST(SystemDevices, InitFromSystem) {
  test::TempDir dir;
  const fs::path sysfs = dir / "sys";
  fs::create_directories(sysfs / "bus/usb/devices");
  auto run =
      run_tool({"init", (dir / "none").string(), "--from-system", "--sysfs", sysfs.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("no supported card, adapter or cable"), std::string::npos)
      << run.output;
  EXPECT_FALSE(fs::exists(dir / "none"));

  usb(sysfs, "3-2", "0f3a", "0a12", "ttyACM0");
  fs::create_directories(sysfs / "bus/usb/devices/3-3/idVendor");
  const fs::path dev = dir / "dev";
  write(dev / "ttyACM0", "");
  fs::create_directories(dev / "serial/by-id");
  fs::create_symlink("../../ttyACM0", dev / "serial/by-id/usb-QR_DATA_UCA2-PCX-if00");
  run = run_tool({"init", (dir / "m").string(), "--from-system", "--sysfs", sysfs.string(), "--dev",
                  dev.string(), "--language", "en"});
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("cannot read " + (sysfs / "bus/usb/devices/3-3/idVendor").string()),
            std::string::npos)
      << run.output;
  const std::string ini = platform::read_text_file(dir / "m" / "machine.ini", 1 << 20).value_or("");
  EXPECT_NE(ini.find("COM3 = " + (dev / "serial/by-id/usb-QR_DATA_UCA2-PCX-if00").string()),
            std::string::npos)
      << ini;
  EXPECT_NE(ini.find("service = pppd"), std::string::npos) << ini;
  run = run_tool({"show", (dir / "m").string()});
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("modem      UCA2-PCX (Q-R DATA UCA2-PCX) on COM3"), std::string::npos)
      << run.output;
}

// The desktop program's first start makes the machine from this computer when a supported device
// is plugged in (a pppd machine on the adapter's tty, and says so), else the demo machine; a
// machine already there is left as it is.
TEST(SystemDevices, FirstStart) {
  test::TempDir dir;
  const fs::path sysfs = dir / "sys";
  fs::create_directories(sysfs / "bus/usb/devices");
  const auto ini_of = [&](const fs::path& machine) {
    return platform::read_text_file(machine / "machine.ini", 1 << 20).value_or("");
  };

  std::ostringstream told;
  ASSERT_TRUE(app::ensure_machine(dir / "demo", platform::Language::English, sysfs, told));
  std::string ini = ini_of(dir / "demo");
  EXPECT_NE(ini.find("accept = qenvora:qenvora"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("service = pppd"), std::string::npos) << ini;
  EXPECT_NE(told.str().find("nimbra: created the demo machine in"), std::string::npos)
      << told.str();

  usb(sysfs, "3-2", "0f3a", "0a12", "ttyACM0");
  told.str("");
  ASSERT_TRUE(app::ensure_machine(dir / "real", platform::Language::Japanese, sysfs, told));
  ini = ini_of(dir / "real");
  EXPECT_NE(ini.find("COM3 = /dev/ttyACM0"), std::string::npos) << ini;
  EXPECT_NE(ini.find("service = pppd"), std::string::npos) << ini;
  EXPECT_NE(ini.find("language = ja"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("accept ="), std::string::npos) << ini;
  EXPECT_NE(told.str().find("nimbra: found UCA2-PCX on /dev/ttyACM0 (COM3)\n"), std::string::npos)
      << told.str();

  // The demo machine stays the demo machine although the adapter is plugged in now.
  told.str("");
  const std::string before = ini_of(dir / "demo");
  EXPECT_FALSE(app::ensure_machine(dir / "demo", platform::Language::English, sysfs, told));
  EXPECT_EQ(ini_of(dir / "demo"), before);
  EXPECT_EQ(told.str(), "");
}

}  // namespace
}  // namespace nimbra
