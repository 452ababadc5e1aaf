#include "recording/plot_redraw.h"

#include <vector>

namespace vireo {

void DrawRecordedSeries(PlotRenderer& renderer, PlotLimits& limits, PointExtents& plotExtents,
                        const std::array<const SeriesPoints*, 5>& shown) {
  std::vector<PointExtents> parsed;
  for (const SeriesPoints* series : shown) {
    if (series) parsed.push_back(series->Extents());
  }
  UniteExtents(plotExtents, parsed);
  renderer.Axes = ComputeAxes(limits, plotExtents);
  DrawAxes(renderer, PlotSlot::Main);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (!shown[i]) continue;
    renderer.Series = shown[i];
    renderer.SeriesColour = kSeriesColours[i];
    DrawSeries(renderer, PlotSlot::Main);
  }
  renderer.Series = nullptr;
}

}  // namespace vireo
