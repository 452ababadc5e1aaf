#pragma once
// Data values to canvas pixels for one plot slot: linear, truncated toward
// zero. Evaluated in double from the single-precision values, like the other
// truncated expressions of the plot (NiceRange, the first grid value).

#include <cmath>

namespace vireo {

struct PixelMapping {
  float xMin = 0, yMin = 0;
  float xRange = 0, yRange = 0;   // axis max - min
  int left = 0, right = 0;        // data area: L and W - R
  int top = 0, bottom = 0;        // T and H - B

  // Far-off points still map to pixels that fit every coordinate type on
  // the way to the screen; lines towards them keep their direction closely.
  static constexpr double kPixelLimit = 1 << 22;

  // Non-positive or overflowing ranges have no sensible mapping.
  bool Usable() const { return xRange > 0 && yRange > 0 && std::isfinite(xRange) && std::isfinite(yRange); }

  int PixelX(float x) const {
    return Truncate(left + (static_cast<double>(x) - xMin) * (right - left) / static_cast<double>(xRange));
  }
  int PixelY(float y) const {
    return Truncate(bottom - (static_cast<double>(y) - yMin) * (bottom - top) / static_cast<double>(yRange));
  }

 private:
  static int Truncate(double v) {
    if (!(v >= -kPixelLimit)) return -static_cast<int>(kPixelLimit);  // also NaN
    if (v > kPixelLimit) return static_cast<int>(kPixelLimit);
    return static_cast<int>(v);
  }
};

}  // namespace vireo
