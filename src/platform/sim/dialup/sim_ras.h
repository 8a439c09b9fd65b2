// SPDX-License-Identifier: MIT
// The remote-access family of one program on a machine with the simulated dial-up service: the
// records in the layouts of the machine's Windows family, checked as RAS checks them, and dial
// progress posted to the notifier window through the program's window family.
#pragma once

#include "platform/ras.h"
#include "platform/records/ras_records.h"
#include "platform/sim/dialup/dialup_service.h"
#include "platform/window.h"

namespace nimbra::sim {

class SimRas : public platform::Ras {
 public:
  SimRas(DialupService& service, platform::Window& window);
  ~SimRas() override;
  SimRas(const SimRas&) = delete;
  SimRas& operator=(const SimRas&) = delete;

  uint32_t RasGetEntryPropertiesA(platform::OptText phonebook, platform::OptText entry,
                                  std::span<uint8_t> record, uint32_t& size) override;
  uint32_t RasSetEntryPropertiesA(platform::OptText phonebook, std::string_view entry,
                                  std::span<const uint8_t> record) override;
  uint32_t RasGetEntryDialParamsA(platform::OptText phonebook, std::span<uint8_t> params,
                                  bool& password_stored) override;
  uint32_t RasSetEntryDialParamsA(platform::OptText phonebook, std::span<const uint8_t> params,
                                  bool remove_password) override;
  uint32_t RasDialA(platform::OptText phonebook, std::span<const uint8_t> params,
                    uint32_t notifier_type, platform::Hwnd notifier,
                    platform::HRASCONN& connection) override;
  uint32_t RasHangUpA(platform::HRASCONN connection) override;
  uint32_t RasEnumConnectionsA(std::span<uint8_t> buffer, uint32_t& size, uint32_t& count) override;
  uint32_t RasGetErrorStringA(uint32_t error, std::span<char> buffer) override;

 private:
  const platform::DialParamsLayout& dial_params_layout() const;
  const platform::ConnectionLayout& connection_layout() const;
  // 0 when the dial-parameter record has the family's size, else the RAS error.
  uint32_t check_dial_params(std::span<const uint8_t> params) const;

  DialupService& service_;
  platform::Window& window_;
};

}  // namespace nimbra::sim
