// The spectrometer plot's redraw after one more reading, on a table of
// 100,000 records over six cells (an overnight six-cell melt read every few
// seconds), beside the straightforward redraw that parses the whole table
// text again and draws a line per point, and beside the whole redraw from the
// parsed copy that a reading widening the axes takes. Target: the redraw
// after a reading under 5 ms median, not growing with the table.
// Run: build/bench/spectrometer_bench (needs no display: offscreen by default).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "recording/qpainter_canvas.h"
#include "spectrometer/form_s.h"
#include "spectrometer/spectrometer_table.h"

namespace {

using namespace vireo;

constexpr int kRecords = 100000;
// The plot area of the window: between the limit strip and the control panel.
constexpr int kWidth = kFormSWidth;
constexpr int kHeight = kFormSHeight - kControlPanelHeight - kLimitStripHeight;

// Record i: cell (i mod 6) + 1, the sample warming from 15 to 95 degrees, a
// melting curve with a little noise.
std::string Record(int i) {
  const int cell = i % kCellCount + 1;
  const double minutes = i * 0.05;
  const double temperature = 15.0 + 80.0 * i / kRecords + 0.02 * std::sin(i * 0.7);
  const double absorbance = 0.15 + 0.05 / (1.0 + std::exp((55.0 - temperature) / 3.0)) + 0.001 * std::cos(i * 1.3);
  std::string line = Format("    S\t550.0\t%6.3f\t%6.2f\t", minutes, temperature);
  line.append(static_cast<std::size_t>(cell - 1), '\t');
  line += Format(" %.4f", absorbance);
  line.append(static_cast<std::size_t>(kCellCount - cell), '\t');
  return line;
}

std::string& TableText() {
  static std::string text = [] {
    std::string t = std::string(kSixCellSimulationHeader) + "\r\n";
    for (int i = 0; i < kRecords; ++i) t += Record(i) + "\r\n";
    return t;
  }();
  return text;
}

std::map<std::string, std::vector<double>> samples;
std::map<std::string, int> wholeRedraws;  // of the redraws after a reading

template <class Work>
void Timed(benchmark::State& state, const std::string& name, Work&& work) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    work();
    samples[name].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}

double MedianMs(const std::string& name) {
  std::vector<double> v = samples[name];
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2] * 1e3;
}

struct Plot {
  QImage image{kWidth, kHeight, QImage::Format_RGB32};
  PlotRenderer renderer;
  SpectrometerWindowState state;
  SpectrometerPicture picture;
};

// One reading joins the table; the plot is drawn from the parsed copy.
void AfterOneReading(benchmark::State& state, int records, PlotQuantity quantity, const std::string& name,
                     bool whole = false) {
  SpectrometerTable table;
  std::string text = std::string(kSixCellSimulationHeader) + "\r\n";
  for (int i = 0; i < records; ++i) text += Record(i) + "\r\n";
  table.SetText(text);
  Plot plot;
  plot.state.Quantity = quantity;
  int next = records;
  int wholeCount = 0;
  Timed(state, name, [&] {
    table.AddLine(Record(next++ % kRecords));
    // As the window draws: a canvas for each redraw, on the picture it shows.
    QPainterCanvas canvas(plot.image);
    if (whole) plot.picture.valid = false;
    wholeCount += DrawSpectrometerPlot(plot.renderer, canvas, plot.state, table, plot.picture) ? 1 : 0;
  });
  wholeRedraws[name] = wholeCount;
}
void BM_AfterOneReadingVsTemperature(benchmark::State& s) {
  AfterOneReading(s, kRecords, PlotQuantity::Temperature, "reading, temperature");
}
void BM_AfterOneReadingVsTime(benchmark::State& s) { AfterOneReading(s, kRecords, PlotQuantity::Time, "reading, time"); }
void BM_AfterOneReadingSmallTable(benchmark::State& s) {
  AfterOneReading(s, kRecords / 10, PlotQuantity::Temperature, "reading, 10000 records");
}
// When a reading widens the axes, the whole picture is drawn again from the parsed copy.
void BM_WholeRedrawVsTemperature(benchmark::State& s) {
  AfterOneReading(s, kRecords, PlotQuantity::Temperature, "whole, temperature", true);
}
void BM_WholeRedrawVsTime(benchmark::State& s) { AfterOneReading(s, kRecords, PlotQuantity::Time, "whole, time", true); }
BENCHMARK(BM_WholeRedrawVsTemperature)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRedrawVsTime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AfterOneReadingVsTemperature)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AfterOneReadingVsTime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AfterOneReadingSmallTable)->Unit(benchmark::kMillisecond);

// The whole table text parsed again, then a line per point.
void BM_FullReparse(benchmark::State& state) {
  const std::string& text = TableText();
  Plot plot;
  QPainterCanvas canvas(plot.image);
  AttachCanvas(plot.renderer, PlotSlot::Spectrometer, canvas);
  Timed(state, "full re-parse", [&] {
    SpectrometerTable table;
    table.SetText(text);
    PointExtents all{1e10f, -1e10f, 1e10f, -1e10f};
    for (int cell = 1; cell <= kCellCount; ++cell) {
      PointExtents e;
      if (!table.CellExtents(cell, PlotQuantity::Temperature, e)) continue;
      all = {std::min(all.xMin, e.xMin), std::max(all.xMax, e.xMax), std::min(all.yMin, e.yMin),
             std::max(all.yMax, e.yMax)};
    }
    plot.renderer.Axes = ComputeAxes(plot.state.Limits, all);
    DrawAxes(plot.renderer, PlotSlot::Spectrometer);
    const PixelMapping map = SlotMapping(plot.renderer, PlotSlot::Spectrometer);
    canvas.SetPenWidth(2);
    for (int cell = 1; cell <= kCellCount; ++cell) {
      const SeriesPoints& p = table.Points(cell, PlotQuantity::Temperature);
      canvas.SetPenColour(kCellColours[static_cast<std::size_t>(cell - 1)]);
      canvas.MoveTo({map.PixelX(p.X()[0]), map.PixelY(p.Y()[0])});
      for (std::size_t k = 1; k < p.Count(); ++k) canvas.LineTo({map.PixelX(p.X()[k]), map.PixelY(p.Y()[k])});
    }
  });
}
BENCHMARK(BM_FullReparse)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double temperature = MedianMs("reading, temperature");
  std::printf("\nSummary, %d records in six cells, %d x %d pixels (ratio >= 1 meets the target)\n", kRecords, kWidth,
              kHeight);
  std::printf("  redraw after a reading, vs temperature  %8.3f ms  target < 5 ms  ratio %7.1f (%d of %zu redraws whole)\n",
              temperature, 5.0 / temperature, wholeRedraws["reading, temperature"],
              samples["reading, temperature"].size());
  std::printf("  redraw after a reading, vs time         %8.3f ms\n", MedianMs("reading, time"));
  std::printf("  the same on 10,000 records              %8.3f ms\n", MedianMs("reading, 10000 records"));
  std::printf("  whole redraw (the axes widened), vs temperature %7.2f ms, vs time %7.2f ms\n",
              MedianMs("whole, temperature"), MedianMs("whole, time"));
  std::printf("  full re-parse and a line per point      %8.1f ms  (%.0f x the whole redraw)\n", MedianMs("full re-parse"),
              MedianMs("full re-parse") / MedianMs("whole, temperature"));
  return 0;
}
