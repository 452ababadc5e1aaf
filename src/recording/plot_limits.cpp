#include "recording/plot_limits.h"

#include <algorithm>
#include <cmath>

#include "controller/protocol.h"

namespace vireo {
namespace {

AxisRange ComputeAxis(LimitSetting& min, LimitSetting& max, const LimitSetting& increment, float dataMin,
                      float dataMax, bool labelZero) {
  const AxisRange nice = NiceRange(min.Automatic ? dataMin : min.Value, max.Automatic ? dataMax : max.Value);
  AxisRange axis;
  axis.Min = min.Automatic ? (labelZero && nice.Min == 0 ? -0.0001f : nice.Min) : min.Value;
  axis.Max = max.Automatic ? nice.Max : max.Value;
  axis.Major = increment.Automatic ? nice.Major : increment.Value;
  axis.Minor = increment.Automatic ? nice.Minor : static_cast<float>(0.2 * increment.Value);
  min.Value = axis.Min;
  max.Value = axis.Max;
  return axis;
}

}  // namespace

void UniteExtents(PointExtents& plot, std::span<const PointExtents> parsed) {
  if (parsed.empty()) return;
  plot = parsed.front();
  for (const PointExtents& e : parsed.subspan(1)) {
    plot.xMin = std::min(plot.xMin, e.xMin);
    plot.xMax = std::max(plot.xMax, e.xMax);
    plot.yMin = std::min(plot.yMin, e.yMin);
    plot.yMax = std::max(plot.yMax, e.yMax);
  }
}

AxisParameters ComputeAxes(PlotLimits& limits, const PointExtents& plot) {
  AxisParameters axes;
  axes.Horizontal = ComputeAxis(limits[PlotLimit::MinTime], limits[PlotLimit::MaxTime], limits[PlotLimit::IncTime],
                                plot.xMin, plot.xMax, true);
  axes.Vertical = ComputeAxis(limits[PlotLimit::MinTemp], limits[PlotLimit::MaxTemp], limits[PlotLimit::IncTemp],
                              plot.yMin, plot.yMax, false);
  return axes;
}

LimitEntry EnterPlotLimit(PlotLimits& limits, PlotLimit box, std::string_view text) {
  LimitSetting& setting = limits[box];
  const char first = text.empty() ? '\0' : text.front();
  if (first == 'a' || first == 'A') {
    setting.Automatic = true;
    return {first == 'a' ? std::string("A") : std::string(text)};
  }
  // The axis' three settings lie together: minimum, maximum, increment.
  const std::size_t axis = static_cast<std::size_t>(box) / 3 * 3;
  const LimitSetting& axisMin = limits.Settings[axis];
  const LimitSetting& axisMax = limits.Settings[axis + 1];
  const std::optional<float> value = ParseLeadingFloat(text);
  bool valid = value && std::isfinite(*value);
  if (valid) {
    switch (static_cast<std::size_t>(box) - axis) {
      case 0:
        setting.Value = *value;
        valid = *value < axisMax.Value;
        break;
      case 1:
        setting.Value = *value;
        valid = *value > axisMin.Value;
        break;
      default:
        valid = *value > 0;
        if (valid) setting.Value = *value;
        break;
    }
  }
  setting.Automatic = !valid;
  if (!valid) return {"A", true};
  return {std::string(text)};
}

}  // namespace vireo
