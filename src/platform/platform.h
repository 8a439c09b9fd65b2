// SPDX-License-Identifier: MIT
// The services one program instance runs on, as the entry hands them to the logic.
#pragma once

#include "platform/comm.h"
#include "platform/http.h"
#include "platform/kernel.h"
#include "platform/ras.h"
#include "platform/registry.h"
#include "platform/runtime.h"
#include "platform/shell.h"
#include "platform/urlcache.h"
#include "platform/window.h"

namespace nimbra::platform {

struct Platform {
  Kernel& kernel;
  Registry& registry;
  Runtime& runtime;
  Window& window;
  Comm& comm;
  Ras& ras;
  Shell& shell;
  Http& http;
  UrlCache& url_cache;
};

}  // namespace nimbra::platform
