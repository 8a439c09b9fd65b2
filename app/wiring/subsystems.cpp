// SPDX-License-Identifier: MIT
#include "wiring/subsystems.h"

#include "accel/accel_install.h"
#include "detect/modem_detection.h"
#include "diag/card_info.h"
#include "dialup/dialup_install.h"
#include "tcpip/tcpip_install.h"
#include "validity/validity_install.h"

namespace nimbra::app {

void install_subsystems(shell::AppContext& app) {
  detect::install_modem_detection(app);
  accel::install_accel(app);
  dialup::install_dialup(app);
  validity::install_validity(app);
  diag::install_card_info(app);
  tcpip::install_tcpip(app);
}

}  // namespace nimbra::app
