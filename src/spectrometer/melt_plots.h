#pragma once
// The melting analysis window's three plots: the fraction unfolded with the
// model's curves, the derivative, and 1/Tm against ln Ct with its line.

#include "recording/plot_renderer.h"
#include "spectrometer/melt_set.h"

namespace vireo {

class PlotImage;

void DrawFractionPlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set);
void DrawDerivativePlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set);
void DrawSeriesPlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set);

}  // namespace vireo
