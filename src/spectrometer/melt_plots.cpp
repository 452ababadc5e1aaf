#include "spectrometer/melt_plots.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "recording/qpainter_canvas.h"
#include "shell/widgets.h"
#include "spectrometer/spectrometer_table.h"

namespace vireo {
namespace {

constexpr int kCurveSamples = 200;
constexpr int kMarker = 3;  // half the side of a point's square, pixels

void Widen(float& lo, float& hi, double v, bool& any) {
  if (!std::isfinite(v)) return;
  const float f = static_cast<float>(v);
  lo = any ? std::min(lo, f) : f;
  hi = any ? std::max(hi, f) : f;
  any = true;
}

struct PlotLine {
  SeriesPoints points;
  PlotColour colour;
  int width;
};

// Axes, then the lines, then square markers at `marks`, on `image`.
void Draw(PlotImage& image, PlotRenderer& renderer, AxisParameters axes, const char* xLabel, const char* yLabel,
          const std::vector<PlotLine>& lines, const std::vector<std::pair<float, float>>& marks = {}) {
  image.MatchSize();
  {
    QPainterCanvas canvas(image.Picture());
    AttachCanvas(renderer, PlotSlot::Main, canvas);
    renderer.Axes = axes;
    renderer.HorizontalAxisLabel = xLabel;
    renderer.VerticalAxisLabel = yLabel;
    DrawAxes(renderer, PlotSlot::Main);
    for (const PlotLine& line : lines) {
      renderer.SeriesColour = line.colour;
      renderer.SeriesLineWidth = line.width;
      renderer.Series = &line.points;
      DrawSeries(renderer, PlotSlot::Main);
    }
    const PixelMapping map = SlotMapping(renderer, PlotSlot::Main);
    canvas.SetPenColour({0, 0, 0});
    canvas.SetPenWidth(1);
    canvas.SetBrushColour({0, 0, 160});
    canvas.SetBrushStyle(BrushStyle::Solid);
    for (const auto& [x, y] : marks) {
      if (!map.Usable()) break;
      const int px = map.PixelX(x), py = map.PixelY(y);
      canvas.Rectangle({px - kMarker, py - kMarker, px + kMarker + 1, py + kMarker + 1});
    }
    renderer.Series = nullptr;
    renderer.Slot(PlotSlot::Main).Canvas = nullptr;
  }
  image.update();
}

}  // namespace

PlotColour MeltRowColour(const MeltRow& row) {
  return kCellColours[static_cast<std::size_t>((row.cell - 1) % kMeltCells)];
}

void DrawFractionPlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set) {
  std::vector<PlotLine> lines;
  float xLo = 0, xHi = 100;
  bool any = false;
  for (const MeltRow& row : set.rows) {
    const MeltResult& r = row.result;
    if (!r.fit) continue;
    const MeltFit& f = *r.fit;
    PlotLine data{{}, MeltRowColour(row), 1}, model{{}, MeltRowColour(row), 2};
    for (const MeltPoint& p : r.curve) {
      data.points.Add(static_cast<float>(p.temperature), static_cast<float>(f.FractionOf(p.temperature, p.absorbance)));
      Widen(xLo, xHi, p.temperature, any);
    }
    const double t0 = r.curve.front().temperature, t1 = r.curve.back().temperature;
    for (int i = 0; i <= kCurveSamples; ++i) {
      const double t = t0 + (t1 - t0) * i / kCurveSamples;
      model.points.Add(static_cast<float>(t), static_cast<float>(f.Fraction(t)));
    }
    lines.push_back(std::move(data));
    lines.push_back(std::move(model));
  }
  Draw(image, renderer, {NiceRange(xLo, xHi), NiceRange(-0.05f, 1.05f)}, "temperature (\xB0" "C)",
       "fraction unfolded ", lines);
}

void DrawDerivativePlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set) {
  std::vector<PlotLine> lines;
  float xLo = 0, xHi = 100, yLo = 0, yHi = 0.01f;
  bool anyX = false, anyY = false;
  for (const MeltRow& row : set.rows) {
    const MeltResult& r = row.result;
    PlotLine slope{{}, MeltRowColour(row), 2};
    for (std::size_t i = 0; i < r.derivative.size(); ++i) {
      slope.points.Add(static_cast<float>(r.curve[i].temperature), static_cast<float>(r.derivative[i]));
      Widen(xLo, xHi, r.curve[i].temperature, anyX);
      Widen(yLo, yHi, r.derivative[i], anyY);
    }
    lines.push_back(std::move(slope));
  }
  if (yHi <= yLo) yHi = yLo + 0.001f;
  Draw(image, renderer, {NiceRange(xLo, xHi), NiceRange(yLo, yHi)}, "temperature (\xB0" "C)", "dA/dT (1/\xB0" "C) ",
       lines);
}

// 1000/Tm in 1/K against ln Ct (Ct in mol/L): the cells' points and the line.
void DrawSeriesPlot(PlotImage& image, PlotRenderer& renderer, const MeltSetResult& set) {
  std::vector<PlotLine> lines;
  std::vector<std::pair<float, float>> marks;
  float xLo = -14, xHi = -9, yLo = 2.9f, yHi = 3.2f;
  if (set.series) {
    const MeltSeries& s = *set.series;
    bool anyX = false, anyY = false;
    for (const MeltSeriesPoint& p : s.points) {
      marks.emplace_back(static_cast<float>(p.lnCt), static_cast<float>(1000 * p.inverseTm));
      Widen(xLo, xHi, p.lnCt, anyX);
      Widen(yLo, yHi, 1000 * p.inverseTm, anyY);
    }
    const float reach = std::max(0.2f, (xHi - xLo) / 10);
    xLo -= reach;
    xHi += reach;
    PlotLine fitted{{}, {200, 0, 0}, 2};
    for (float x : {xLo, xHi}) {
      const double y = 1000 * (s.intercept + s.slope * x);
      fitted.points.Add(x, static_cast<float>(y));
      Widen(yLo, yHi, y, anyY);
    }
    lines.push_back(std::move(fitted));
  }
  AxisParameters axes{NiceRange(xLo, xHi), NiceRange(yLo, yHi)};
  // ln Ct spans a few units, and labels at every half unit would run together.
  while ((axes.Horizontal.Max - axes.Horizontal.Min) / axes.Horizontal.Major > 6) {
    axes.Horizontal.Major *= 2;
    axes.Horizontal.Minor = axes.Horizontal.Major / 2;
  }
  Draw(image, renderer, axes, "ln Ct (Ct in mol/L)", "1000/Tm (1/K) ", lines, marks);
}

}  // namespace vireo
