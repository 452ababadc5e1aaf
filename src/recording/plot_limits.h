#pragma once
// The six plot limits of the main plot (minimum, maximum and increment of
// the time and the temperature axis, each a value or automatic), the axes a
// redraw computes from them, and the rules of the six limit boxes.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "recording/plot_renderer.h"
#include "recording/series_points.h"

namespace vireo {

struct LimitSetting {
  float Value = 0;
  bool Automatic = true;
};

// In box order: time minimum, maximum, increment, then the same for temperature.
enum class PlotLimit { MinTime, MaxTime, IncTime, MinTemp, MaxTemp, IncTemp };

struct PlotLimits {
  std::array<LimitSetting, 6> Settings{};
  LimitSetting& operator[](PlotLimit which) { return Settings[static_cast<std::size_t>(which)]; }
  const LimitSetting& operator[](PlotLimit which) const { return Settings[static_cast<std::size_t>(which)]; }
};

// The plot's extents become the union of the parsed series' extents; with
// no series parsed they keep those of the last redraw that had one.
void UniteExtents(PointExtents& plot, std::span<const PointExtents> parsed);

// The axes of a redraw: each automatic minimum or maximum from NiceRange
// around the plot's extents (a computed time minimum of exactly 0 becomes
// -0.0001 so that 0 gets its grid line and label), each automatic increment
// NiceRange's, a manual increment with a fifth of it as minor increment.
// The drawn minima and maxima are written back into `limits`.
AxisParameters ComputeAxes(PlotLimits& limits, const PointExtents& plot);

inline constexpr const char* kLimitErrorText = "That entry is invalid.\n  The setting will default to automatic.";
inline constexpr const char* kLimitErrorCaption = "Plot parameter error";

struct LimitEntry {
  std::string BoxText;   // what the box shows afterwards
  bool Invalid = false;  // show kLimitErrorText / kLimitErrorCaption
};

// A limit box's text on leaving it or on Enter. "a..." reads as "A",
// "A..." makes the setting automatic; otherwise the leading number is the
// setting: a minimum must lie below the axis' current maximum, a maximum
// above its current minimum, an increment above 0. Text without a leading
// (finite) number is invalid; an invalid entry leaves the setting automatic
// and the box showing "A".
LimitEntry EnterPlotLimit(PlotLimits& limits, PlotLimit box, std::string_view text);

}  // namespace vireo
