#include "recording/plot_renderer.h"

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "recording/series_decimation.h"

namespace vireo {
namespace {

constexpr PlotColour kWhite{255, 255, 255};
constexpr PlotColour kSilver{192, 192, 192};
constexpr PlotColour kBlack{0, 0, 0};
constexpr int kTickLength = 8;
constexpr int kLabelGap = 4;

float Narrow(double v) {
  if (v > FLT_MAX) return INFINITY;
  if (v < -FLT_MAX) return -INFINITY;
  return static_cast<float>(v);
}

// trunc(value / step + add) * step. Quotients before a truncation are taken
// in double from the float operands (here and in NiceRange), so a quotient a
// hair below a whole number truncates down: 20 / 0.2f is 99.9999985, not 100.
double TruncatedMultiple(float value, float step, double add) {
  return std::trunc(static_cast<double>(value) / static_cast<double>(step) + add) * static_cast<double>(step);
}

// Calls draw(v) for v = first, first + step, ... while v < end, summing in
// single precision; draw may change v (a label snaps it to 0). Skipped when
// the step is not positive or would take more than kMaxTickSteps steps. Each
// addition advances by at least half the step or stalls, so with the stall
// check the loop always ends.
template <class Draw>
void ForEachTick(double first, float end, float step, Draw&& draw) {
  if (!(step > 0) || !((static_cast<double>(end) - first) / step <= kMaxTickSteps)) return;
  for (float v = Narrow(first); v < end;) {
    draw(v);
    const float next = v + step;
    if (next == v) return;
    v = next;
  }
}

// "%.Nf" with N decimals by the size of the major increment.
void SetPrecision(FixedText<5>& format, float increment) {
  int decimals = 0;
  if (increment < 0.00999) {
    decimals = 3;
  } else if (increment < 0.0999) {
    decimals = 2;
  } else if (increment < 0.999) {
    decimals = 1;
  }
  format.data[2] = static_cast<char>('0' + decimals);
}

// The tick label of a grid value; values within 0.001 increments of zero
// become exactly zero, so no label reads "-0".
std::string TickLabel(const FixedText<5>& format, float& value, float increment) {
  if (std::fabs(value) < 0.001 * increment) value = 0;
  return Format(format.CStr(), static_cast<double>(value));
}

}  // namespace

void AttachCanvas(PlotRenderer& renderer, PlotSlot which, PlotCanvas& canvas) {
  PlotSlotState& slot = renderer.Slot(which);
  slot.Canvas = &canvas;
  // A data-area clip left from an earlier picture would shrink the size read here.
  canvas.RemoveClip();
  canvas.SetBrushColour(kWhite);
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.FillRect(canvas.ClipRect());
  slot.PlotRect = canvas.ClipRect();
  if (slot.RequestedWidth > 0 && slot.RequestedHeight > 0) {
    slot.W = slot.RequestedWidth;
    slot.H = slot.RequestedHeight;
  } else {
    slot.W = slot.PlotRect.Width();
    slot.H = slot.PlotRect.Height();
  }
  const int W = slot.W, H = slot.H;
  slot.WholeArea = {{{0, 0}, {W, 0}, {W, H}, {0, H}}};
  const int right = W - kPlotMarginRight, bottom = H - kPlotMarginBottom;
  slot.DataArea = {{{kPlotMarginLeft, kPlotMarginTop}, {right, kPlotMarginTop}, {right, bottom}, {kPlotMarginLeft, bottom}}};
}

PixelMapping SlotMapping(const PlotRenderer& renderer, PlotSlot which) {
  const PlotSlotState& slot = renderer.Slot(which);
  return {renderer.Axes.Horizontal.Min, renderer.Axes.Vertical.Min,
          slot.HorizontalRange,         slot.VerticalRange,
          kPlotMarginLeft,              slot.W - kPlotMarginRight,
          kPlotMarginTop,               slot.H - kPlotMarginBottom};
}

void DrawAxes(PlotRenderer& renderer, PlotSlot which) {
  PlotSlotState& slot = renderer.Slot(which);
  if (!slot.Canvas) return;
  PlotCanvas& canvas = *slot.Canvas;
  const AxisRange& hor = renderer.Axes.Horizontal;
  const AxisRange& ver = renderer.Axes.Vertical;
  const int left = kPlotMarginLeft, top = kPlotMarginTop;
  const int right = slot.W - kPlotMarginRight, bottom = slot.H - kPlotMarginBottom;

  canvas.SelectClipPolygon(slot.WholeArea);
  canvas.SetPenWidth(1);
  canvas.SetBrushColour(renderer.PlotBackground);
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.FillRect(canvas.ClipRect());

  slot.VerticalRange = ver.Max - ver.Min;
  slot.HorizontalRange = hor.Max - hor.Min;
  const PixelMapping map = SlotMapping(renderer, which);

  canvas.SelectFont(FontDirection::Horizontal);
  canvas.SetPenColour(kSilver);
  SetPrecision(renderer.VerticalTickFormat, ver.Major);
  if (ver.Major > 0) {
    const double above = ver.Min > 0 ? 1 : 0;
    canvas.SetPenStyle(PenStyle::Dotted);
    ForEachTick(TruncatedMultiple(ver.Min, ver.Major, above), ver.Max, ver.Major, [&](float& y) {
      const int py = map.PixelY(y);
      canvas.MoveTo({left, py});
      canvas.LineTo({right, py});
      const std::string label = TickLabel(renderer.VerticalTickFormat, y, ver.Major);
      canvas.TextOut(left - canvas.TextWidth(label) - kLabelGap, py - canvas.TextHeight(label) / 2, label);
    });
    canvas.SetPenStyle(PenStyle::Solid);
    if (ver.Minor < ver.Major) {
      ForEachTick(TruncatedMultiple(ver.Min, ver.Minor, above), ver.Max, ver.Minor, [&](float& y) {
        const int py = map.PixelY(y);
        canvas.MoveTo({left, py});
        canvas.LineTo({left + kTickLength, py});
        canvas.MoveTo({right, py});
        canvas.LineTo({right - kTickLength, py});
      });
    }
  }

  const std::string_view horizontalLabel = renderer.HorizontalAxisLabel.View();
  if (!horizontalLabel.empty()) {
    canvas.TextOut(left + (right - left - canvas.TextWidth(horizontalLabel)) / 2, slot.H - 20, horizontalLabel);
  }

  SetPrecision(renderer.HorizontalTickFormat, hor.Major);
  if (hor.Major > 0) canvas.SetPenStyle(PenStyle::Dotted);
  // Always one step past the minimum: a minimum on a multiple gets no grid
  // line, the frame marks it.
  ForEachTick(TruncatedMultiple(hor.Min, hor.Major, 1), hor.Max, hor.Major, [&](float& x) {
    const int px = map.PixelX(x);
    canvas.MoveTo({px, bottom});
    canvas.LineTo({px, top});
    const std::string label = TickLabel(renderer.HorizontalTickFormat, x, hor.Major);
    canvas.TextOut(px - canvas.TextWidth(label) / 2, bottom + kLabelGap, label);
  });
  canvas.SetPenStyle(PenStyle::Solid);
  if (hor.Minor < hor.Major) {
    ForEachTick(TruncatedMultiple(hor.Min, hor.Minor, 1), hor.Max, hor.Minor, [&](float& x) {
      const int px = map.PixelX(x);
      canvas.MoveTo({px, bottom - kTickLength});
      canvas.LineTo({px, bottom});
      canvas.MoveTo({px, top + kTickLength});
      canvas.LineTo({px, top});
    });
  }

  canvas.SelectFont(FontDirection::Horizontal);
  const std::string_view verticalLabel = renderer.VerticalAxisLabel.View();
  if (!verticalLabel.empty()) {
    canvas.SelectFont(FontDirection::Upwards);
    canvas.TextOut(2, top + (bottom - top + canvas.TextWidth(verticalLabel)) / 2, verticalLabel);
  }

  canvas.SetPenColour(kBlack);
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetBrushStyle(BrushStyle::Clear);
  canvas.Rectangle({left, top, right + 1, bottom + 1});
  canvas.SelectClipPolygon(slot.DataArea);
}

void DrawSeries(PlotRenderer& renderer, PlotSlot which) {
  const PlotSlotState& slot = renderer.Slot(which);
  if (!slot.Canvas || !renderer.Series) return;
  const PixelMapping map = SlotMapping(renderer, which);
  if (!map.Usable()) return;
  slot.Canvas->SetPenColour(renderer.SeriesColour);
  slot.Canvas->SetPenWidth(renderer.SeriesLineWidth);
  std::vector<PixelPoint> path;
  std::size_t from = 0;
  const auto draw = [&](std::size_t to) {
    path.clear();
    AppendDecimatedPath(*renderer.Series, map, renderer.SeriesLineWidth, path, from, to);
    slot.Canvas->Polyline(path);
    from = to;
  };
  for (std::size_t start : GapStarts(*renderer.Series, slot.GapX)) draw(start);
  draw(renderer.Series->Count());
}

AxisRange NiceRange(float lo, float hi) {
  const float d = hi - lo;
  // A single value (a holder steady at 25.00 for minutes) gets one unit on
  // either side, so that it is drawn inside the axes; around 0 that is -1 .. 1.
  if (d < 0.0001) {
    const float middle = d >= 0 ? lo + d / 2 : 0.0f;
    return {middle - 1.0f, middle + 1.0f, 0.5f, 0.1f};
  }
  struct Row {
    double below;
    float major;
    int divisions;
  };
  static constexpr Row kRows[] = {
      {0.001, 0.0001f, 5}, {0.002, 0.0002f, 4}, {0.005, 0.0005f, 5}, {0.01, 0.001f, 5}, {0.02, 0.002f, 4},
      {0.05, 0.005f, 5},   {0.1, 0.01f, 5},     {0.2, 0.02f, 4},     {0.5, 0.05f, 5},   {1, 0.1f, 5},
      {2, 0.2f, 4},        {5, 0.5f, 5},        {10, 1.0f, 5},       {20, 2.0f, 4},     {50, 5.0f, 5},
      {100, 10.0f, 5},     {200, 20.0f, 4},     {500, 50.0f, 5},     {1000, 100.0f, 5}, {2000, 200.0f, 4},
  };
  Row chosen{0, 1000.0f, 5};
  for (const Row& row : kRows) {
    if (d < row.below) {
      chosen = row;
      break;
    }
  }
  const float minor = chosen.major / static_cast<float>(chosen.divisions);
  const auto wholeSteps = [&](float v) { return std::trunc(static_cast<double>(v) / static_cast<double>(minor)); };
  return {Narrow((wholeSteps(lo) - 2) * minor), Narrow((wholeSteps(hi) + 2) * minor), chosen.major, minor};
}

}  // namespace vireo
