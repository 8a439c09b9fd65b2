// SPDX-License-Identifier: MIT
// The check before a real call, on a made-up tree: with everything in place every line passes;
// each row takes one thing away and its line fails (or warns) with the command that fixes it.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "nimbra_test/temp_dir.h"
#include "platform/linux/pppd/preflight_check.h"

namespace nimbra::lnx {
namespace {

namespace fs = std::filesystem;

constexpr gid_t kDialout = 20;
constexpr gid_t kDip = 30;

void put(const fs::path& file, std::string_view text, mode_t mode, gid_t gid = 0) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text;
  ASSERT_EQ(::chown(file.c_str(), 0, gid), 0);
  ASSERT_EQ(::chmod(file.c_str(), mode), 0);
}

// A computer ready to call, as Debian sets it up, for the user ana.
void ready_tree(const fs::path& root) {
  put(root / "etc/group", "root:x:0:\ndialout:x:20:ana\ndip:x:30:ana\n", 0644);
  put(root / "dev/ttyACM0", "", 0660, kDialout);
  fs::create_directories(root / "dev/serial/by-id");
  fs::create_symlink("../../ttyACM0", root / "dev/serial/by-id/usb-QR_DATA_UCA2-PCX-if00");
  put(root / "usr/sbin/pppd", "", 04754, kDip);
  put(root / "etc/ppp/peers/nimbra", "noauth\n", 0640, kDip);
  ASSERT_EQ(::chown((root / "etc/ppp/peers").c_str(), 0, kDip), 0);
  ASSERT_EQ(::chmod((root / "etc/ppp/peers").c_str(), 02750), 0);
  put(root / "dev/ppp", "", 0600);
  put(root / "usr/sbin/ModemManager", "", 0755);
  put(root / "sys/class/tty/ttyACM0/dev", "166:0\n", 0444);
  put(root / "run/udev/data/c166:0", "E:ID_VENDOR_ID=0f3a\nE:ID_MM_DEVICE_IGNORE=1\n", 0644);
  put(root / "lib/udev/rules.d/70-nimbra.rules", "", 0644);
  put(root / "run/systemd/resolve/io.systemd.Resolve", "", 0666);
  put(root / "etc/ppp/ip-up.d/nimbra-resolved", "", 0755);
  put(root / "etc/ppp/ip-down.d/nimbra-resolved", "", 0755);
}

Credentials ana() {
  return {"ana", 1000, {1000, kDialout, kDip}};
}

CallSetup by_id_setup() {
  CallSetup setup;
  setup.device = "/dev/serial/by-id/usb-QR_DATA_UCA2-PCX-if00";
  return setup;
}

TEST(PreflightCheck, ReadyComputerPassesEveryLine) {
  test::TempDir root;
  ready_tree(root.path());
  for (const CheckResult& r : preflight_check(root.path(), by_id_setup(), ana())) {
    EXPECT_EQ(r.status, CheckStatus::Pass) << check_line(r);
  }
}

TEST(PreflightCheck, EachMissingThingFailsItsLineWithItsFix) {
  struct Row {
    std::string_view what;
    std::function<void(const fs::path&, Credentials&)> spoil;
    std::string_view condition;
    CheckStatus status;
    std::string_view fix;
    std::string_view also_fails = "";  // a line that depends on the same thing
  };
  const auto remove = [](std::string_view path) {
    return [path](const fs::path& root, Credentials&) { fs::remove(root / path); };
  };
  const Row rows[] = {
      {"no /dev/ppp", remove("dev/ppp"), "kernel PPP support", CheckStatus::Fail,
       "sudo modprobe ppp_async"},
      {"unplugged", remove("dev/ttyACM0"), "modem tty", CheckStatus::Fail, "plug the device in",
       "tty open for ana (group dialout)"},
      {"not in dialout",
       [](const fs::path& root, Credentials& who) {
         who.groups = {1000, kDip};
         put(root / "etc/group", "dialout:x:20:\ndip:x:30:ana\n", 0644);
       },
       "tty open for ana (group dialout)", CheckStatus::Fail,
       "sudo adduser ana dialout, then log out and in again"},
      {"joined dip after logging in",
       [](const fs::path&, Credentials& who) {
         who.groups = {1000, kDialout};
       },
       "ana in group dip (may run pppd)", CheckStatus::Fail, "log out and in again",
       "peers file /etc/ppp/peers/nimbra"},
      {"pppd missing", remove("usr/sbin/pppd"), "pppd installed and setuid root", CheckStatus::Fail,
       "sudo apt install ppp"},
      {"pppd not setuid",
       [](const fs::path& root, Credentials&) { ::chmod((root / "usr/sbin/pppd").c_str(), 0755); },
       "pppd installed and setuid root", CheckStatus::Fail,
       "sudo chown root:dip /usr/sbin/pppd && sudo chmod 4754 /usr/sbin/pppd"},
      {"peers file missing", remove("etc/ppp/peers/nimbra"), "peers file /etc/ppp/peers/nimbra",
       CheckStatus::Fail, "sudo install -m 0640 -g dip data/ppp/nimbra /etc/ppp/peers/nimbra"},
      {"peers file private",
       [](const fs::path& root, Credentials&) {
         ::chmod((root / "etc/ppp/peers/nimbra").c_str(), 0600);
       },
       "peers file /etc/ppp/peers/nimbra", CheckStatus::Fail,
       "sudo chgrp dip /etc/ppp/peers/nimbra && sudo chmod 0640 /etc/ppp/peers/nimbra"},
      {"property not applied",
       [](const fs::path& root, Credentials&) {
         put(root / "run/udev/data/c166:0", "E:ID_VENDOR_ID=0f3a\n", 0644);
       },
       "ModemManager leaves the modem alone", CheckStatus::Fail,
       "sudo udevadm control --reload-rules && sudo udevadm trigger --action=add "
       "/dev/serial/by-id/usb-QR_DATA_UCA2-PCX-if00"},
      {"no udev rule",
       [](const fs::path& root, Credentials&) {
         fs::remove(root / "run/udev/data/c166:0");
         fs::remove(root / "lib/udev/rules.d/70-nimbra.rules");
       },
       "ModemManager leaves the modem alone", CheckStatus::Fail,
       "sudo install -m 0644 packaging/udev/70-nimbra.rules /etc/udev/rules.d/"},
      {"resolved without hooks", remove("etc/ppp/ip-down.d/nimbra-resolved"), "DNS",
       CheckStatus::Warn, "sudo install -m 0755 data/ppp/ip-up.d/nimbra-resolved"},
  };
  for (const Row& row : rows) {
    test::TempDir root;
    ready_tree(root.path());
    Credentials who = ana();
    row.spoil(root.path(), who);
    for (const CheckResult& r : preflight_check(root.path(), by_id_setup(), who)) {
      if (r.condition == row.also_fails) {
        EXPECT_EQ(r.status, CheckStatus::Fail) << row.what << ": " << check_line(r);
        continue;
      }
      if (r.condition != row.condition) {
        EXPECT_EQ(r.status, CheckStatus::Pass) << row.what << ": " << check_line(r);
        continue;
      }
      EXPECT_EQ(r.status, row.status) << row.what << ": " << check_line(r);
      EXPECT_NE(r.fix.find(row.fix), std::string::npos) << row.what << ": " << check_line(r);
    }
  }
}

// Without resolved, Debian's own usepeerdns script sets the servers; the line tells so.
TEST(PreflightCheck, DnsWithoutResolved) {
  test::TempDir root;
  ready_tree(root.path());
  fs::remove(root / "run/systemd/resolve/io.systemd.Resolve");
  put(root / "etc/ppp/ip-up.d/0000usepeerdns", "", 0755);
  const auto results = preflight_check(root.path(), by_id_setup(), ana());
  EXPECT_EQ(check_line(results.back()),
            "pass  DNS: systemd-resolved is not running: pppd's usepeerdns script puts the link's "
            "servers in /etc/resolv.conf");
}

}  // namespace
}  // namespace nimbra::lnx
