#pragma once
// The spectrometer plot on the renderer's second slot, drawn from the
// table's parsed copy: axes from the shown cells' extents and the plot limits
// (written back as in the main plot), then the shown cells in order, each in
// its colour, two pixels wide. The renderer's labels, line width and axes
// are the main plot's again afterwards.
//
// A reading that keeps the axes is drawn on top of the last picture: only
// its new lines are painted, so the cost of a redraw after a reading does not
// grow with the table.

#include <array>
#include <cstddef>

#include "recording/plot_canvas.h"
#include "recording/plot_renderer.h"
#include "spectrometer/spectrometer_table.h"

namespace vireo {

// What the canvas shows from the last redraw.
struct SpectrometerPicture {
  bool valid = false;  // false: the canvas holds something else, redraw it all
  AxisParameters axes;
  PlotQuantity quantity = PlotQuantity::Temperature;
  std::array<bool, kCellCount> shown{};
  std::uint64_t tableGeneration = 0;
  std::array<std::size_t, kCellCount> drawn{};  // points of each cell on the picture
  FixedText<100> verticalLabel;
  int width = 0, height = 0;
};

// Draws on `canvas`, which holds `picture` when it is valid. Returns true
// when the whole picture was drawn again.
bool DrawSpectrometerPlot(PlotRenderer& renderer, PlotCanvas& canvas, SpectrometerWindowState& state,
                          const SpectrometerTable& table, SpectrometerPicture& picture);

}  // namespace vireo
