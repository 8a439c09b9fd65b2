// SPDX-License-Identifier: MIT
// The fonts, loaded on a second core while the toolkit connects to the display and the program
// opens its machine and reads its settings. Loading them is the largest single cost of a start
// and needs neither. Two steps, one after the other on that core: the font configuration at once,
// then, once the toolkit has started, the toolkit's list of installed fonts and the faces it
// falls back on for the window's font.
#pragma once

#include <QFont>
#include <future>
#include <optional>
#include <thread>

namespace nimbra::app {

class FontWarmup {
 public:
  FontWarmup();
  ~FontWarmup();
  FontWarmup(const FontWarmup&) = delete;
  FontWarmup& operator=(const FontWarmup&) = delete;

  // Call once the QGuiApplication exists, which the toolkit's list needs; once at most. The
  // window's font is then looked up once there too: the faces the toolkit falls back on for it
  // are kept for every thread.
  void toolkit_started(const QFont& window_font);

  // Returns once both steps are done (or the first, when the toolkit never started): a font used
  // before would load the configuration or the list a second time.
  void wait();

 private:
  void answer_toolkit(std::optional<QFont> window_font);

  std::promise<std::optional<QFont>> toolkit_;
  bool answered_ = false;
  std::thread loader_;
};

}  // namespace nimbra::app
