// SPDX-License-Identifier: MIT
// Remote access (the ANSI functions): the phone book with its entries and stored dial
// parameters, dialling with progress posted to a window, hanging up, the connections that are up
// and the texts of error codes. Records cross this interface as the byte layouts Windows uses;
// text arguments are ANSI, and an absent text (std::nullopt) is a null pointer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/window.h"

namespace nimbra::platform {

using HRASCONN = uint32_t;
using OptText = std::optional<std::string_view>;

// Result codes.
inline constexpr uint32_t RAS_SUCCESS = 0;
inline constexpr uint32_t ERROR_ACCESS_DENIED_RAS = 5;
inline constexpr uint32_t ERROR_INVALID_HANDLE_RAS = 6;
inline constexpr uint32_t ERROR_INVALID_PARAMETER_RAS = 87;
inline constexpr uint32_t ERROR_INVALID_NAME_RAS = 123;
inline constexpr uint32_t ERROR_BUFFER_TOO_SMALL = 603;
inline constexpr uint32_t ERROR_DEVICE_DOES_NOT_EXIST = 608;
inline constexpr uint32_t ERROR_DEVICETYPE_DOES_NOT_EXIST = 609;
inline constexpr uint32_t ERROR_PORT_DISCONNECTED = 619;
inline constexpr uint32_t ERROR_CANNOT_OPEN_PHONEBOOK = 621;
inline constexpr uint32_t ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623;
inline constexpr uint32_t ERROR_CANNOT_WRITE_PHONEBOOK = 624;
inline constexpr uint32_t ERROR_DISCONNECTION = 628;
inline constexpr uint32_t ERROR_HARDWARE_FAILURE = 630;
inline constexpr uint32_t ERROR_USER_DISCONNECTION = 631;
inline constexpr uint32_t ERROR_INVALID_SIZE = 632;
inline constexpr uint32_t ERROR_PORT_NOT_AVAILABLE = 633;
inline constexpr uint32_t ERROR_UNKNOWN_RAS = 635;
inline constexpr uint32_t ERROR_AUTH_INTERNAL = 645;
inline constexpr uint32_t ERROR_FROM_DEVICE = 651;
inline constexpr uint32_t ERROR_PORT_NOT_CONFIGURED = 665;
inline constexpr uint32_t ERROR_NO_CONNECTION = 668;  // the connection dropped
inline constexpr uint32_t ERROR_LINE_BUSY = 676;
inline constexpr uint32_t ERROR_NO_ANSWER = 678;
inline constexpr uint32_t ERROR_NO_CARRIER = 679;
inline constexpr uint32_t ERROR_NO_DIALTONE = 680;
inline constexpr uint32_t ERROR_AUTHENTICATION_FAILURE = 691;
inline constexpr uint32_t ERROR_PORT_OR_DEVICE = 692;
inline constexpr uint32_t ERROR_RASMAN_CANNOT_INITIALIZE = 711;
inline constexpr uint32_t ERROR_PPP_TIMEOUT = 718;
inline constexpr uint32_t ERROR_PPP_NO_PROTOCOLS_CONFIGURED = 720;
inline constexpr uint32_t ERROR_PPP_LCP_TERMINATED = 734;
inline constexpr uint32_t ERROR_PPP_LOOPBACK_DETECTED = 737;

// Connection states posted with the dial-event message (first parameter).
enum RasConnState : uint32_t {
  RASCS_OpenPort = 0,
  RASCS_PortOpened = 1,
  RASCS_ConnectDevice = 2,
  RASCS_DeviceConnected = 3,
  RASCS_AllDevicesConnected = 4,
  RASCS_Authenticate = 5,
  RASCS_AuthNotify = 6,
  RASCS_AuthRetry = 7,
  RASCS_AuthCallback = 8,
  RASCS_AuthChangePassword = 9,
  RASCS_AuthProject = 10,
  RASCS_AuthLinkSpeed = 11,
  RASCS_AuthAck = 12,
  RASCS_ReAuthenticate = 13,
  RASCS_Authenticated = 14,
  RASCS_PrepareForCallback = 15,
  RASCS_WaitForModemReset = 16,
  RASCS_WaitForCallback = 17,
  RASCS_Projected = 18,
  RASCS_StartAuthentication = 19,
  RASCS_CallbackComplete = 20,
  RASCS_LogonNetwork = 21,
  RASCS_SubEntryConnected = 22,
  RASCS_SubEntryDisconnected = 23,
  RASCS_Interactive = 0x1000,
  RASCS_RetryAuthentication = 0x1001,
  RASCS_CallbackSetByCaller = 0x1002,
  RASCS_PasswordExpired = 0x1003,
  RASCS_Connected = 0x2000,
  RASCS_Disconnected = 0x2001,
};

// The notifier type that makes RasDialA post its progress to a window.
inline constexpr uint32_t kNotifierWindow = 0xFFFFFFFF;

// The name the dial-event message is registered under.
inline constexpr std::string_view kRasDialEventName = "RasDialEvent";

class Ras {
 public:
  virtual ~Ras() = default;

  // With no entry and no buffer: `size` becomes the default entry size (the result is not
  // relied on). With an entry and no buffer: ERROR_BUFFER_TOO_SMALL and the entry's size when it
  // exists, ERROR_CANNOT_FIND_PHONEBOOK_ENTRY when not. With a buffer whose size field RAS knows:
  // the entry record.
  virtual uint32_t RasGetEntryPropertiesA(OptText phonebook, OptText entry,
                                          std::span<uint8_t> record, uint32_t& size) = 0;

  // Creates the entry or replaces its properties. ERROR_INVALID_SIZE for a record size RAS does
  // not know.
  virtual uint32_t RasSetEntryPropertiesA(OptText phonebook, std::string_view entry,
                                          std::span<const uint8_t> record) = 0;

  // Fills the dial-parameter record (its size field and entry name set by the caller) with the
  // stored phone number, callback number, user name, password and domain.
  virtual uint32_t RasGetEntryDialParamsA(OptText phonebook, std::span<uint8_t> params,
                                          bool& password_stored) = 0;

  virtual uint32_t RasSetEntryDialParamsA(OptText phonebook, std::span<const uint8_t> params,
                                          bool remove_password) = 0;

  // Starts dialling. With kNotifierWindow, returns at once and posts the dial-event message to
  // `notifier` for every state of the call (first parameter the state, second the error code);
  // with notifier type 0 the dial runs to its end before returning.
  virtual uint32_t RasDialA(OptText phonebook, std::span<const uint8_t> params,
                            uint32_t notifier_type, Hwnd notifier, HRASCONN& connection) = 0;

  virtual uint32_t RasHangUpA(HRASCONN connection) = 0;

  // Fills connection records (the first record's size field set by the caller); non-zero
  // (ERROR_BUFFER_TOO_SMALL) with the size needed when they do not all fit.
  virtual uint32_t RasEnumConnectionsA(std::span<uint8_t> buffer, uint32_t& size,
                                       uint32_t& count) = 0;

  // The NUL-terminated text of an error code in the machine's language.
  virtual uint32_t RasGetErrorStringA(uint32_t error, std::span<char> buffer) = 0;
};

}  // namespace nimbra::platform
