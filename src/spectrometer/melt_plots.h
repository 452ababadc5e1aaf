#pragma once
// The melting analysis window's three plots: the fraction unfolded with the
// model's curves, the derivative, and 1/Tm against ln Ct with its line.

#include "recording/plot_renderer.h"
#include "spectrometer/melt_set.h"

namespace vireo {

class PlotImage;

// A row's colour: its cell's in the spectrometer plot, cells 7 to 12 as 1 to 6.
PlotColour MeltRowColour(const MeltRow& row);

void DrawFractionPlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set);
void DrawDerivativePlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set);
void DrawSeriesPlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set);

}  // namespace vireo
