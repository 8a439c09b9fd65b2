// SPDX-License-Identifier: MIT
#include "font_warmup.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace nimbra::app {

FontWarmup::FontWarmup() {
  try {
    loader_ = std::thread([] { FcInit(); });
  } catch (const std::system_error&) {
    // No thread to spare: the toolkit loads the configuration itself when it needs it.
  }
}

FontWarmup::~FontWarmup() {
  wait();
}

void FontWarmup::wait() {
  if (loader_.joinable()) loader_.join();
}

}  // namespace nimbra::app
