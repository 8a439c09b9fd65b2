// SPDX-License-Identifier: MIT
// The serial control of a simulated program instance: ports of the machine, and the card
// answering on its port in virtual time.
#pragma once

#include "platform/comm.h"
#include "platform/comm/comm_line.h"
#include "platform/sim/card/sim_ports.h"

namespace nimbra::sim {

class SimComm : public platform::Comm {
 public:
  explicit SimComm(SimPorts& ports);
  ~SimComm() override;
  SimComm(const SimComm&) = delete;
  SimComm& operator=(const SimComm&) = delete;

  platform::CommError set_CommPort(int16_t port) override;
  int16_t CommPort() override { return port_; }
  platform::CommError set_PortOpen(bool open) override;
  bool PortOpen() override { return open_; }
  platform::CommError set_Settings(std::string_view settings) override;
  platform::CommError set_InputLen(int16_t length) override;
  platform::CommError set_Output(std::string_view text) override;
  platform::CommError InBufferCount(int16_t& count) override;
  platform::CommError Input(std::string& text) override;

  // Control face: everything written to the port since it was last opened.
  const std::string& written() const { return written_; }

 private:
  void close();
  platform::CommError closed_error() const;

  SimPorts& ports_;
  int16_t port_ = 1;
  bool open_ = false;
  bool device_gone_ = false;
  int16_t input_len_ = 0;
  platform::ReceiveBuffer received_;
  std::string written_;
};

}  // namespace nimbra::sim
