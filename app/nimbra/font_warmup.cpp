// SPDX-License-Identifier: MIT
#include "font_warmup.h"

#include <fontconfig/fontconfig.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <system_error>

namespace nimbra::app {

FontWarmup::FontWarmup() {
  try {
    loader_ = std::thread([started = toolkit_.get_future()]() mutable {
      FcInit();
      // The toolkit's font database is shared by all threads and guarded by its own lock.
      const std::optional<QFont> window_font = started.get();
      if (!window_font) return;
      QFontDatabase::families();
      QFontMetrics(*window_font).horizontalAdvance(QStringLiteral("Nimbra"));
    });
  } catch (const std::system_error&) {
    // No thread to spare: the toolkit loads the fonts itself when it needs them.
  }
}

FontWarmup::~FontWarmup() {
  wait();
}

void FontWarmup::toolkit_started(const QFont& window_font) {
  answer_toolkit(window_font);
}

void FontWarmup::wait() {
  answer_toolkit(std::nullopt);
  if (loader_.joinable()) loader_.join();
}

void FontWarmup::answer_toolkit(std::optional<QFont> window_font) {
  if (answered_) return;
  answered_ = true;
  toolkit_.set_value(std::move(window_font));
}

}  // namespace nimbra::app
