// SPDX-License-Identifier: MIT
// The check before a real call: each thing the modem and pppd need from this computer, whether
// it holds, and the command that makes it hold. Every path is looked up under a root (normally
// "/"), so the check runs as well on a made-up tree.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/pppd/unix_access.h"

namespace nimbra::lnx {

struct CallSetup {
  std::filesystem::path device;  // the modem's port as the machine names it; empty: none
  std::filesystem::path pppd = "/usr/sbin/pppd";
  std::string peer = "nimbra";
};

enum class CheckStatus {
  Pass,
  Fail,  // a call cannot work
  Warn,  // a call works, but not all of it (names are not looked up)
};

struct CheckResult {
  CheckStatus status;
  std::string condition;
  std::string detail;
  std::string fix;  // a command, or what to do; empty when it passes
};

std::vector<CheckResult> preflight_check(const std::filesystem::path& root, const CallSetup& setup,
                                         const Credentials& who);

// "pass  kernel PPP support: /dev/ppp is there", "fail  ...: ...; fix: sudo modprobe ppp_async".
std::string check_line(const CheckResult& result);

}  // namespace nimbra::lnx
