#pragma once
// The x-y line plot renderer shared by the main window's time/temperature
// plot and the spectrometer window's plot: white plot area with fixed
// margins, dotted grid at the major increments, minor ticks on the frame,
// tick labels, axis labels, a black frame, and series drawn as polylines
// clipped to the data area.
//
// Calling order for one picture: set the axis parameters (and labels),
// DrawAxes, then for each series set Series and SeriesColour and DrawSeries.
// Later series paint over earlier ones.

#include <array>
#include <cstdint>

#include "control/text_helpers.h"
#include "recording/pixel_mapping.h"
#include "recording/plot_canvas.h"
#include "recording/series_points.h"

namespace vireo {

inline constexpr int kPlotMarginLeft = 60;
inline constexpr int kPlotMarginRight = 35;
inline constexpr int kPlotMarginTop = 20;
inline constexpr int kPlotMarginBottom = 50;

// A grid or tick loop that would take more steps than this is skipped: no
// canvas is that many pixels wide, and a tiny increment must not hang the
// window thread.
inline constexpr int kMaxTickSteps = 10000;

struct AxisRange {
  float Min = 0, Max = 0, Major = 0, Minor = 0;
  bool operator==(const AxisRange&) const = default;
};

struct AxisParameters {
  AxisRange Horizontal{0, 60, 10, 10};
  AxisRange Vertical{0, 25, 5, 1};
};

enum class PlotSlot { Main, Spectrometer };

struct PlotSlotState {
  PlotCanvas* Canvas = nullptr;  // unusable until AttachCanvas
  // When both are above 0 they fix the size; otherwise the canvas does.
  std::int32_t RequestedWidth = 0, RequestedHeight = 0;
  int W = 0, H = 0;
  PixelRect PlotRect;
  // Axis max - min at this slot's last DrawAxes; DrawSeries scales with them.
  float HorizontalRange = 0, VerticalRange = 0;
  // A step in x wider than this breaks the line (see GapStarts); 0: never.
  float GapX = 0;
  std::array<PixelPoint, 4> WholeArea{};
  std::array<PixelPoint, 4> DataArea{};
};

// All renderer state, one per program.
struct PlotRenderer {
  std::array<PlotSlotState, 2> Slots;
  AxisParameters Axes;
  // The precision digit (index 2) is rewritten by DrawAxes.
  FixedText<5> HorizontalTickFormat{"%.0f"};
  FixedText<5> VerticalTickFormat{"%.0f"};
  // Drawn when not empty; at most 99 characters, longer ones are cut.
  FixedText<100> HorizontalAxisLabel;
  FixedText<100> VerticalAxisLabel;
  PlotColour PlotBackground{255, 255, 255};
  PlotColour SeriesColour{0, 0, 0};
  int SeriesLineWidth = 1;
  const SeriesPoints* Series = nullptr;  // drawn by the next DrawSeries

  PlotSlotState& Slot(PlotSlot slot) { return Slots[static_cast<std::size_t>(slot)]; }
  const PlotSlotState& Slot(PlotSlot slot) const { return Slots[static_cast<std::size_t>(slot)]; }
};

// Binds the slot to the canvas, clears it to white and fixes W and H.
void AttachCanvas(PlotRenderer& renderer, PlotSlot slot, PlotCanvas& canvas);
// Clears the slot and draws everything but the series; leaves the canvas
// clipped to the data area.
void DrawAxes(PlotRenderer& renderer, PlotSlot slot);
// Draws Series in SeriesColour and SeriesLineWidth with the scale of the
// slot's last DrawAxes. Nothing when the axis ranges are not positive.
void DrawSeries(PlotRenderer& renderer, PlotSlot slot);
// The data-to-pixel mapping DrawSeries uses.
PixelMapping SlotMapping(const PlotRenderer& renderer, PlotSlot slot);

// Axis limits around [lo, hi] at a round major increment with its minor
// divisions, one to three minor divisions beyond the data on each side.
AxisRange NiceRange(float lo, float hi);

}  // namespace vireo
