// SPDX-License-Identifier: MIT
#include "platform/linux/pppd/preflight_check.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <optional>

namespace nimbra::lnx {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxUdevLines = 1000;

fs::path under(const fs::path& root, const fs::path& path) {
  return root / path.relative_path();
}

bool is_there(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

CheckResult pass(std::string condition, std::string detail) {
  return {CheckStatus::Pass, std::move(condition), std::move(detail), ""};
}

CheckResult fail(std::string condition, std::string detail, std::string fix) {
  return {CheckStatus::Fail, std::move(condition), std::move(detail), std::move(fix)};
}

std::string relogin(const std::string& then) {
  return then + ", then log out and in again";
}

// Membership of a group as the session has it, or why not: the fix of a missing membership.
std::optional<std::string> missing_membership(const fs::path& root, const Credentials& who,
                                              const std::string& group) {
  if (who.uid == 0) return std::nullopt;
  const auto entry = find_group(under(root, "/etc/group"), group);
  if (!entry) {
    return relogin("sudo addgroup --system " + group + " && sudo adduser " + who.user + " " +
                   group);
  }
  if (who.in_group(entry->gid)) return std::nullopt;
  const bool listed =
      std::find(entry->members.begin(), entry->members.end(), who.user) != entry->members.end();
  if (listed) return "log out and in again (the session started before " + who.user + " joined)";
  return relogin("sudo adduser " + who.user + " " + group);
}

// The modem's port and the tty it leads to, both under `root`.
struct Tty {
  fs::path named;
  fs::path real;  // empty when the port is not there
};

Tty tty_of(const fs::path& root, const CallSetup& setup) {
  Tty tty{setup.device, {}};
  if (setup.device.empty()) return tty;
  std::error_code ec;
  const fs::path real = fs::canonical(under(root, setup.device), ec);
  if (!ec) tty.real = real;
  return tty;
}

CheckResult modem_tty(const Tty& tty) {
  const std::string condition = "modem tty";
  if (tty.named.empty()) {
    return fail(condition, "the machine names no serial device for its modem",
                "nimbra-machine init DIR --from-system");
  }
  if (tty.real.empty()) {
    return fail(condition, tty.named.string() + " is not there",
                "plug the device in (nimbra-machine init DIR --from-system finds it)");
  }
  return pass(condition, tty.named.string() + " (" + tty.real.filename().string() + ")");
}

CheckResult tty_access(const fs::path& root, const Tty& tty, const Credentials& who) {
  const std::string condition = "tty open for " + who.user + " (group dialout)";
  if (tty.real.empty()) return fail(condition, "no tty to open", "plug the device in");
  if (may(who, tty.real, {Access::Read, Access::Write})) {
    return pass(condition, tty.real.filename().string() + " may be read and written");
  }
  const auto fix = missing_membership(root, who, "dialout");
  return fail(condition, who.user + " may not open " + tty.real.filename().string(),
              fix.value_or("sudo chgrp dialout " + tty.named.string()));
}

CheckResult pppd_installed(const fs::path& root, const CallSetup& setup) {
  const std::string condition = "pppd installed and setuid root";
  struct stat st {};
  if (::stat(under(root, setup.pppd).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return fail(condition, setup.pppd.string() + " is not there", "sudo apt install ppp");
  }
  if (st.st_uid != 0 || (st.st_mode & S_ISUID) == 0) {
    const std::string path = setup.pppd.string();
    return fail(condition, path + " is not setuid root",
                "sudo chown root:dip " + path + " && sudo chmod 4754 " + path);
  }
  return pass(condition, setup.pppd.string());
}

CheckResult dip_member(const fs::path& root, const Credentials& who) {
  const std::string condition = who.user + " in group dip (may run pppd)";
  if (who.uid == 0) return pass(condition, "root runs pppd without it");
  const auto fix = missing_membership(root, who, "dip");
  if (!fix) return pass(condition, "yes");
  return fail(condition, "no", *fix);
}

CheckResult peers_file(const fs::path& root, const CallSetup& setup, const Credentials& who) {
  const fs::path file = fs::path("/etc/ppp/peers") / setup.peer;
  const std::string condition = "peers file " + file.string();
  if (!is_there(under(root, file))) {
    return fail(condition, "not installed",
                "sudo install -m 0640 -g dip data/ppp/nimbra " + file.string() +
                    " (the nimbra package installs it)");
  }
  // pppd reads it with the user's rights: /etc/ppp/peers is root:dip 2750.
  if (may(who, under(root, file.parent_path()), {Access::Execute}) &&
      may(who, under(root, file), {Access::Read})) {
    return pass(condition, "readable");
  }
  const auto fix = missing_membership(root, who, "dip");
  return fail(
      condition, who.user + " may not read it",
      fix.value_or("sudo chgrp dip " + file.string() + " && sudo chmod 0640 " + file.string()));
}

CheckResult kernel_ppp(const fs::path& root) {
  const std::string condition = "kernel PPP support";
  if (is_there(under(root, "/dev/ppp"))) return pass(condition, "/dev/ppp is there");
  return fail(condition, "/dev/ppp is missing", "sudo modprobe ppp_async");
}

// Whether udev's database gives the tty ID_MM_DEVICE_IGNORE=1.
bool ignored_by_modem_manager(const fs::path& root, const fs::path& tty) {
  std::ifstream number(under(root, "/sys/class/tty") / tty.filename() / "dev");
  std::string major_minor;
  if (!std::getline(number, major_minor) || major_minor.empty()) return false;
  std::ifstream data(under(root, "/run/udev/data") / ("c" + major_minor));
  std::string line;
  for (size_t n = 0; n < kMaxUdevLines && std::getline(data, line); ++n) {
    if (line == "E:ID_MM_DEVICE_IGNORE=1") return true;
  }
  return false;
}

CheckResult modem_manager(const fs::path& root, const Tty& tty) {
  const std::string condition = "ModemManager leaves the modem alone";
  if (!is_there(under(root, "/usr/sbin/ModemManager"))) {
    return pass(condition, "ModemManager is not installed");
  }
  const std::string name = tty.real.filename().string();
  if (!tty.real.empty() && ignored_by_modem_manager(root, tty.real)) {
    return pass(condition, "udev gives " + name + " ID_MM_DEVICE_IGNORE=1");
  }
  if (name.starts_with("ttyS")) {
    return pass(condition, "it does not probe plain serial ports");
  }
  const bool rule = is_there(under(root, "/lib/udev/rules.d/70-nimbra.rules")) ||
                    is_there(under(root, "/etc/udev/rules.d/70-nimbra.rules"));
  if (!rule) {
    return fail(condition, "the udev rule 70-nimbra.rules is not installed",
                "sudo install -m 0644 packaging/udev/70-nimbra.rules /etc/udev/rules.d/ && sudo "
                "udevadm control --reload-rules, then plug the device in again");
  }
  if (tty.real.empty()) {
    return pass(condition, "the udev rule 70-nimbra.rules is installed");
  }
  return fail(condition, name + " lacks the udev property ID_MM_DEVICE_IGNORE",
              "sudo udevadm control --reload-rules && sudo udevadm trigger --action=add " +
                  tty.named.string());
}

CheckResult dns(const fs::path& root, const Credentials& who) {
  const std::string condition = "DNS";
  const bool resolved = is_there(under(root, "/run/systemd/resolve/io.systemd.Resolve"));
  if (!resolved) {
    if (is_there(under(root, "/etc/ppp/ip-up.d/0000usepeerdns"))) {
      return pass(condition,
                  "systemd-resolved is not running: pppd's usepeerdns script puts the link's "
                  "servers in /etc/resolv.conf");
    }
    return {CheckStatus::Warn, condition,
            "systemd-resolved is not running and /etc/ppp/ip-up.d/0000usepeerdns is missing",
            "sudo apt install --reinstall ppp"};
  }
  const bool hooks = may(who, under(root, "/etc/ppp/ip-up.d/nimbra-resolved"), {Access::Execute}) &&
                     may(who, under(root, "/etc/ppp/ip-down.d/nimbra-resolved"), {Access::Execute});
  if (hooks) {
    return pass(condition,
                "systemd-resolved is running: /etc/ppp/ip-up.d/nimbra-resolved hands it the "
                "link's servers");
  }
  return {CheckStatus::Warn, condition,
          "systemd-resolved is running, and nothing hands it the link's servers",
          "sudo install -m 0755 data/ppp/ip-up.d/nimbra-resolved /etc/ppp/ip-up.d/ && sudo "
          "install -m 0755 data/ppp/ip-down.d/nimbra-resolved /etc/ppp/ip-down.d/"};
}

}  // namespace

std::vector<CheckResult> preflight_check(const fs::path& root, const CallSetup& setup,
                                         const Credentials& who) {
  const Tty tty = tty_of(root, setup);
  return {
      modem_tty(tty),
      tty_access(root, tty, who),
      pppd_installed(root, setup),
      dip_member(root, who),
      peers_file(root, setup, who),
      kernel_ppp(root),
      modem_manager(root, tty),
      dns(root, who),
  };
}

std::string check_line(const CheckResult& result) {
  const char* status = result.status == CheckStatus::Pass   ? "pass"
                       : result.status == CheckStatus::Fail ? "fail"
                                                            : "warn";
  std::string line = std::string(status) + "  " + result.condition + ": " + result.detail;
  if (!result.fix.empty()) line += "; fix: " + result.fix;
  return line;
}

}  // namespace nimbra::lnx
