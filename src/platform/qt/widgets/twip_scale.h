// SPDX-License-Identifier: MIT
// Conversion between the logic's twips (1/1440 inch) and the screen's pixels.
#pragma once

#include <cmath>

namespace nimbra::qt {

struct TwipScale {
  double twips_per_pixel_x = 15.0;
  double twips_per_pixel_y = 15.0;

  // Twips per pixel at the screen's logical resolution (15 at 96 dpi).
  static TwipScale from_dpi(double dpi_x, double dpi_y) { return {1440.0 / dpi_x, 1440.0 / dpi_y}; }

  int x(int twips) const { return static_cast<int>(std::lround(twips / twips_per_pixel_x)); }
  int y(int twips) const { return static_cast<int>(std::lround(twips / twips_per_pixel_y)); }
  int twips_x(int pixels) const {
    return static_cast<int>(std::lround(pixels * twips_per_pixel_x));
  }
  int twips_y(int pixels) const {
    return static_cast<int>(std::lround(pixels * twips_per_pixel_y));
  }
};

}  // namespace nimbra::qt
