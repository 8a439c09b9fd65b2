// SPDX-License-Identifier: MIT
// The serial communications control (MSComm1): one serial port at a time, opened by number,
// written to and polled. Every property access reports the control's error number, which
// callers may ignore, as the control's users do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbra::platform {

// Error numbers of the serial control.
enum class CommError : int32_t {
  None = 0,
  InvalidPortNumber = 8002,   // no such port on this machine
  PortAlreadyOpen = 8005,     // setting CommPort while open
  PortInUse = 8012,           // the device is held by another program, or cannot be opened
  PortNotOpen = 8018,         // operation valid only when the port is open
  InvalidSettings = 8020,
  DeviceGone = 8021,          // the device went away while open
};

class Comm {
 public:
  virtual ~Comm() = default;

  virtual CommError set_CommPort(int16_t port) = 0;
  virtual int16_t CommPort() = 0;

  // Opening fails with InvalidPortNumber or PortInUse; closing a closed port is an error too.
  virtual CommError set_PortOpen(bool open) = 0;
  virtual bool PortOpen() = 0;

  // "9600,N,8,1".
  virtual CommError set_Settings(std::string_view settings) = 0;
  // 0: a read of Input returns everything waiting.
  virtual CommError set_InputLen(int16_t length) = 0;
  // Sends the text as it stands.
  virtual CommError set_Output(std::string_view text) = 0;
  // Characters waiting in the receive buffer (0 when the port is closed).
  virtual CommError InBufferCount(int16_t& count) = 0;
  // Takes the waiting characters out of the receive buffer.
  virtual CommError Input(std::string& text) = 0;
};

}  // namespace nimbra::platform
