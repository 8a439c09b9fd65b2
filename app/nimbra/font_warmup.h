// SPDX-License-Identifier: MIT
// The font configuration, loaded on a second core while the toolkit connects to the display and
// the program opens its machine. Loading it is the largest single cost of a start (about a third
// of the work up to the first paint) and needs neither.
#pragma once

#include <thread>

namespace nimbra::app {

class FontWarmup {
 public:
  FontWarmup();
  ~FontWarmup();
  FontWarmup(const FontWarmup&) = delete;
  FontWarmup& operator=(const FontWarmup&) = delete;

  // Returns once the configuration is loaded: a font used before would load it a second time.
  void wait();

 private:
  std::thread loader_;
};

}  // namespace nimbra::app
