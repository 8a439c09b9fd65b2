// SPDX-License-Identifier: MIT
#include "dialup/dial_state_text.h"

#include <array>

#include "platform/ras.h"

namespace nimbra::dialup {

namespace {

using namespace platform;  // NOLINT: the RAS state names read as the table they are

struct Row {
  uint32_t state;
  DialStateView view;
};

constexpr std::array kRows{
    Row{RASCS_OpenPort, {134, true}},
    Row{RASCS_PortOpened, {133, true}},
    Row{RASCS_ConnectDevice, {128, true}},
    Row{RASCS_DeviceConnected, {137, true}},
    Row{RASCS_AllDevicesConnected, {126, true}},
    Row{RASCS_Authenticate, {137, true}},
    Row{RASCS_AuthNotify, {136, true}},
    Row{RASCS_AuthRetry, {149, true}},
    Row{RASCS_AuthCallback, {125, false}},
    Row{RASCS_AuthChangePassword, {131, false}},
    Row{RASCS_AuthProject, {149, true}},
    Row{RASCS_AuthLinkSpeed, {139, false}},
    Row{RASCS_AuthAck, {152, false}},
    Row{RASCS_ReAuthenticate, {142, false}},
    Row{RASCS_Authenticated, {149, true}},
    Row{RASCS_PrepareForCallback, {123, false}},
    Row{RASCS_WaitForModemReset, {135, false}},
    Row{RASCS_WaitForCallback, {124, false}},
    Row{RASCS_LogonNetwork, {129, true}},
    Row{RASCS_Interactive, {141, false}},
    Row{RASCS_RetryAuthentication, {150, false}},
    Row{RASCS_CallbackSetByCaller, {140, false}},
    Row{RASCS_PasswordExpired, {130, false}},
    Row{RASCS_Connected, {146, false}},
    Row{RASCS_Disconnected, {145, false}},
};

constexpr DialStateView kUnknownState{154, false};

}  // namespace

DialStateView dial_state_view(uint32_t state) {
  for (const Row& row : kRows) {
    if (row.state == state) return row.view;
  }
  return kUnknownState;
}

}  // namespace nimbra::dialup
