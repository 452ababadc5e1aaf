#include "spectrometer/spectrometer_plot.h"

#include <algorithm>
#include <vector>

#include "recording/plot_limits.h"
#include "recording/series_decimation.h"

namespace vireo {
namespace {

PointExtents ShownExtents(const SpectrometerWindowState& state, const SpectrometerTable& table) {
  PointExtents plot{};
  bool any = false;
  for (int cell = 1; cell <= kCellCount; ++cell) {
    PointExtents e;
    if (!state.CellShown[static_cast<std::size_t>(cell - 1)] || !table.CellExtents(cell, state.Quantity, e)) continue;
    if (!any) {
      plot = e;
      any = true;
      continue;
    }
    plot = {std::min(plot.xMin, e.xMin), std::max(plot.xMax, e.xMax), std::min(plot.yMin, e.yMin),
            std::max(plot.yMax, e.yMax)};
  }
  // An empty plot still gets readable axes.
  return any ? plot : PointExtents{0, 100, 0, 1};
}

// Points [from, Count()) of a cell, joined to the point before `from`, with
// the per-column reduction of the main plot.
void DrawCell(PlotRenderer& renderer, const SeriesPoints& points, std::size_t from) {
  const PlotSlotState& slot = renderer.Slot(PlotSlot::Spectrometer);
  const PixelMapping map = SlotMapping(renderer, PlotSlot::Spectrometer);
  if (!slot.Canvas || !map.Usable() || from >= points.Count()) return;
  SeriesPoints tail;
  const SeriesPoints* drawn = &points;
  if (from > 0) {
    for (std::size_t i = from - 1; i < points.Count(); ++i) tail.Add(points.X()[i], points.Y()[i]);
    drawn = &tail;
  }
  slot.Canvas->SetPenColour(renderer.SeriesColour);
  slot.Canvas->SetPenWidth(renderer.SeriesLineWidth);
  std::vector<PixelPoint> path;
  AppendDecimatedPath(*drawn, map, renderer.SeriesLineWidth, path);
  slot.Canvas->Polyline(path);
}

}  // namespace

bool DrawSpectrometerPlot(PlotRenderer& renderer, PlotCanvas& canvas, SpectrometerWindowState& state,
                          const SpectrometerTable& table, SpectrometerPicture& picture) {
  const PointExtents plot = ShownExtents(state, table);
  const AxisParameters axes = ComputeAxes(state.Limits, plot);
  const PixelRect area = canvas.ClipRect();
  bool whole = !picture.valid || picture.tableGeneration != table.Generation() ||
               !(picture.axes.Horizontal == axes.Horizontal) ||
               !(picture.axes.Vertical == axes.Vertical) || picture.quantity != state.Quantity ||
               picture.shown != state.CellShown || !(picture.verticalLabel == state.VerticalAxisLabel.View());

  const AxisParameters keptAxes = renderer.Axes;
  const FixedText<100> keptHorizontal = renderer.HorizontalAxisLabel;
  const FixedText<100> keptVertical = renderer.VerticalAxisLabel;
  const int keptWidth = renderer.SeriesLineWidth;
  const PlotColour keptColour = renderer.SeriesColour;
  renderer.Axes = axes;
  renderer.HorizontalAxisLabel = HorizontalLabel(state.Quantity);
  renderer.VerticalAxisLabel = state.VerticalAxisLabel.View();
  renderer.SeriesLineWidth = 2;
  PlotSlotState& slot = renderer.Slot(PlotSlot::Spectrometer);
  if (whole || area.Width() != picture.width || area.Height() != picture.height) {
    whole = true;
    AttachCanvas(renderer, PlotSlot::Spectrometer, canvas);
    DrawAxes(renderer, PlotSlot::Spectrometer);
    picture.drawn = {};
  } else {
    slot.Canvas = &canvas;
    canvas.SelectClipPolygon(slot.DataArea);
  }
  for (int cell = 1; cell <= kCellCount; ++cell) {
    const std::size_t i = static_cast<std::size_t>(cell - 1);
    if (!state.CellShown[i]) continue;
    const SeriesPoints& points = table.Points(cell, state.Quantity);
    renderer.SeriesColour = kCellColours[i];
    DrawCell(renderer, points, picture.drawn[i]);
    picture.drawn[i] = points.Count();
  }
  picture.valid = true;
  picture.tableGeneration = table.Generation();
  picture.axes = axes;
  picture.quantity = state.Quantity;
  picture.shown = state.CellShown;
  picture.verticalLabel = state.VerticalAxisLabel.View();
  picture.width = area.Width();
  picture.height = area.Height();

  renderer.Axes = keptAxes;
  renderer.HorizontalAxisLabel = keptHorizontal;
  renderer.VerticalAxisLabel = keptVertical;
  renderer.SeriesLineWidth = keptWidth;
  renderer.SeriesColour = keptColour;
  return whole;
}

}  // namespace vireo
