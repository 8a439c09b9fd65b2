// SPDX-License-Identifier: MIT
#include "font_warmup.h"

#include <fontconfig/fontconfig.h>

#include <QFontDatabase>
#include <QStringList>
#include <system_error>

namespace nimbra::app {

FontWarmup::FontWarmup() {
  try {
    loader_ = std::thread([started = toolkit_.get_future()]() mutable {
      FcInit();
      // The toolkit's font database is shared by all threads and guarded by its own lock.
      if (started.get()) QFontDatabase::families();
    });
  } catch (const std::system_error&) {
    // No thread to spare: the toolkit loads the fonts itself when it needs them.
  }
}

FontWarmup::~FontWarmup() {
  wait();
}

void FontWarmup::toolkit_started() {
  answer_toolkit(true);
}

void FontWarmup::wait() {
  answer_toolkit(false);
  if (loader_.joinable()) loader_.join();
}

void FontWarmup::answer_toolkit(bool started) {
  if (answered_) return;
  answered_ = true;
  toolkit_.set_value(started);
}

}  // namespace nimbra::app
