// Wires the accelerator subsystem into the start-up: the entry builds the proxy values, and the
// main window's load finds the default browser and mail program.
#pragma once

#include "accel/client_programs.h"
#include "accel/proxy_blob.h"

namespace nimbra::accel {

inline void install_accel(shell::AppContext& app) {
  app.build_proxy_blobs = BuildProxyBlobs;
  app.find_client_programs = find_client_programs;
}

}  // namespace nimbra::accel
