// SPDX-License-Identifier: MIT
// Wires the accelerator subsystem into the start-up: the entry builds the proxy values, the main
// window's load finds the default browser and mail program and switches on the browser's HTTP
// 1.1 options, and the Accelerator page reads, chooses and applies the accelerator.
#pragma once

#include "accel/accelerator_page.h"
#include "accel/client_programs.h"
#include "accel/http11_options.h"
#include "accel/proxy_blob.h"

namespace nimbra::accel {

inline void install_accel(shell::AppContext& app) {
  app.build_proxy_blobs = BuildProxyBlobs;
  app.find_client_programs = find_client_programs;
  app.read_applied_accelerator = ReadAppliedAccelerator;
  app.apply_accelerator = ApplyAccelerator;
  // Its failure has been shown; start-up goes on.
  app.enable_http11_options = [](shell::AppContext& a) { EnableHttp11ThroughProxy(a); };
  wire_accelerator_page(app);
}

}  // namespace nimbra::accel
