// SPDX-License-Identifier: MIT
// The serial control on a real serial device: COM port n is the device that `device_of` names
// (by default /dev/ttyS<n-1>), opened exclusively, raw, 9600-N-8-1, without flow control unless
// the options ask for RTS/CTS, and with HUPCL: the modem hangs up when the last holder closes.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "platform/comm.h"
#include "platform/comm/comm_line.h"
#include "platform/linux/serial/uucp_lock.h"

namespace nimbra::lnx {

struct SerialOptions {
  // The device behind a COM port number.
  std::function<std::filesystem::path(int16_t)> device_of = default_device;
  std::filesystem::path lock_dir = "/var/lock";
  bool rts_cts = false;  // hardware flow control

  static std::filesystem::path default_device(int16_t port) {
    return "/dev/ttyS" + std::to_string(port - 1);
  }
};

class SerialComm : public platform::Comm {
 public:
  explicit SerialComm(SerialOptions options = {});
  ~SerialComm() override;
  SerialComm(const SerialComm&) = delete;
  SerialComm& operator=(const SerialComm&) = delete;

  platform::CommError set_CommPort(int16_t port) override;
  int16_t CommPort() override { return port_; }
  platform::CommError set_PortOpen(bool open) override;
  bool PortOpen() override { return fd_ >= 0; }
  platform::CommError set_Settings(std::string_view settings) override;
  platform::CommError set_InputLen(int16_t length) override;
  platform::CommError set_Output(std::string_view text) override;
  platform::CommError InBufferCount(int16_t& count) override;
  platform::CommError Input(std::string& text) override;

  // False when the last open had to do without a lock file (the lock directory is not
  // writable); the device is then guarded by TIOCEXCL and flock only.
  bool lock_file_used() const { return lock_file_used_; }

  // The open device's descriptor (-1 when closed), for handing the dialled line to pppd.
  int native_handle() const { return fd_; }

  // Whether the last open failed because this user may not open the device (EACCES, EPERM).
  bool access_denied() const { return access_denied_; }

  // Another process (pppd, `pid`) now holds the line too: the lock names it, and closing the
  // port leaves the exclusive mode and the lock to it.
  void hand_over(long pid);
  // That process has ended: closing clears the exclusive mode again and removes the lock if it
  // still names that process.
  void take_back();

 private:
  platform::CommError open();
  void close();
  // Moves what the device has waiting into the receive buffer; a device that went away closes.
  void drain();
  void lose_device();
  platform::CommError apply(const platform::LineSettings& settings);
  platform::CommError closed_error() const;

  SerialOptions options_;
  int16_t port_ = 1;
  int fd_ = -1;
  bool device_gone_ = false;
  bool lock_file_used_ = false;
  bool access_denied_ = false;
  bool handed_over_ = false;
  int16_t input_len_ = 0;
  platform::LineSettings settings_;
  std::unique_ptr<UucpLock> lock_;
  platform::ReceiveBuffer received_;
};

}  // namespace nimbra::lnx
