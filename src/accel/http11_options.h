// SPDX-License-Identifier: MIT
// Start-up switches on the browser's two HTTP 1.1 options, "HTTP 1.1 through a proxy" and
// "HTTP 1.1", so that the browser speaks HTTP 1.1 to the accelerator. The browser describes each
// option in the registry: the per-user setting it stands for and the value that switches it on.
#pragma once

#include "shell/app_context.h"

namespace nimbra::accel {

// True when it failed, after an OK box with message 112 under the title that says where: 1068
// (a description cannot be opened), 1069 (it names no setting or no value) or 1070 (the user's
// settings cannot be written). The first failure ends it.
bool EnableHttp11ThroughProxy(shell::AppContext& app);

}  // namespace nimbra::accel
