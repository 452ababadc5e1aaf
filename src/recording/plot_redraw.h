#pragma once
// The main plot drawn from the parsed series: extents, axes, then the shown
// series in their colours.

#include <array>

#include "recording/plot_limits.h"
#include "recording/plot_renderer.h"
#include "recording/series_points.h"

namespace vireo {

// Series 1 to 5: black, green, red, blue, fuchsia.
inline constexpr std::array<PlotColour, 5> kSeriesColours{
    {{0, 0, 0}, {0, 128, 0}, {255, 0, 0}, {0, 0, 255}, {255, 0, 255}}};

// Draws the main slot. shown[i] is series i + 1 when its "Data Shown" item is
// checked and its text is not empty, otherwise null. Series 1 is drawn first,
// so later series paint over it. `plotExtents` persists between redraws.
void DrawRecordedSeries(PlotRenderer& renderer, PlotLimits& limits, PointExtents& plotExtents,
                        const std::array<const SeriesPoints*, 5>& shown);

}  // namespace vireo
