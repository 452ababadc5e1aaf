// The main plot's costs with five series of 1,000,000 records each (a
// record every 3 s for 35 days), beside their targets:
//   live redraw from the parsed copies, decimated   median under 4 ms
//   the same from the memo texts, a line per point   at least 50 x slower
//   QCustomPlot 2.1 with adaptive sampling           slower than the live redraw
//   loading a series text into its parsed copy       at least 300 MB/s
//   memory per record of the parsed copy and of the memo's document.
// Run: build/bench/redraw_bench (needs no display: offscreen by default).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include <qcustomplot.h>

#include "recording/plot_redraw.h"
#include "recording/qpainter_canvas.h"
#include "recording/series_memo.h"

namespace {

using namespace vireo;

constexpr int kRecords = 1000000;
constexpr int kWidth = 674;
constexpr int kHeight = 510;

// A series as the controller records it: "%6.3f\t%6.2f", wandering temperatures.
std::string SeriesText(int series) {
  std::mt19937 random(static_cast<std::uint32_t>(series));
  std::normal_distribution<float> step(0.0f, 0.01f);
  std::string text;
  text.reserve(static_cast<std::size_t>(kRecords) * 18);
  float temperature = 20.0f + static_cast<float>(series);
  char line[64];
  for (int i = 0; i < kRecords; ++i) {
    temperature += step(random);
    const float minutes = static_cast<float>(i) * 0.05f;
    const int n = std::snprintf(line, sizeof line, "%6.3f\t%6.2f\r\n", static_cast<double>(minutes),
                                static_cast<double>(temperature));
    text.append(line, static_cast<std::size_t>(n));
  }
  return text;
}

struct Series {
  std::array<std::string, 5> texts;
  std::array<SeriesPoints, 5> points;
  Series() {
    for (int i = 0; i < 5; ++i) {
      texts[static_cast<std::size_t>(i)] = SeriesText(i + 1);
      points[static_cast<std::size_t>(i)].Rebuild(texts[static_cast<std::size_t>(i)], kRecords);
    }
  }
};

Series& Data() {
  static Series series;
  return series;
}

// Seconds per iteration, by benchmark, for the summary.
std::map<std::string, std::vector<double>> samples;

template <class Work>
void Timed(benchmark::State& state, const char* name, Work&& work) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    work();
    samples[name].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The main plot as a connected window draws it, on an off-screen picture.
struct MainPlot {
  QImage image{kWidth, kHeight, QImage::Format_RGB32};
  QPainterCanvas canvas{image};
  PlotRenderer renderer;
  PlotLimits limits;
  PointExtents extents{};
  MainPlot() {
    renderer.HorizontalAxisLabel = "time (min) ";
    renderer.VerticalAxisLabel = "temperature (\xB0" "C) ";
    renderer.SeriesLineWidth = 2;  // as while a controller is connected
    AttachCanvas(renderer, PlotSlot::Main, canvas);
    renderer.Slot(PlotSlot::Main).GapX = 14.0f / 60.0f;  // gaps as at the usual report interval
  }
};

void BM_LiveRedraw(benchmark::State& state) {
  Series& data = Data();
  MainPlot plot;
  std::array<const SeriesPoints*, 5> shown{};
  for (std::size_t i = 0; i < 5; ++i) shown[i] = &data.points[i];
  Timed(state, "live", [&] { DrawRecordedSeries(plot.renderer, plot.limits, plot.extents, shown); });
}
BENCHMARK(BM_LiveRedraw)->Unit(benchmark::kMillisecond);

// Every redraw reads each memo's whole text, parses it and draws a line per point.
void BM_StraightforwardRedraw(benchmark::State& state) {
  static std::array<std::unique_ptr<SeriesMemo>, 5> memos;
  for (std::size_t i = 0; i < 5; ++i) {
    if (memos[i]) continue;
    memos[i] = std::make_unique<SeriesMemo>();
    memos[i]->SetText(Data().texts[i]);
  }
  MainPlot plot;
  Timed(state, "straightforward", [&] {
    const auto start = std::chrono::steady_clock::now();
    std::array<std::string, 5> texts;
    for (std::size_t i = 0; i < 5; ++i) texts[i] = memos[i]->Text();
    const auto read = std::chrono::steady_clock::now();
    std::array<SeriesPoints, 5> parsed;
    std::vector<PointExtents> all;
    for (std::size_t i = 0; i < 5; ++i) {
      parsed[i].Rebuild(texts[i], memos[i]->LineCount());
      all.push_back(parsed[i].Extents());
    }
    const auto parsedAt = std::chrono::steady_clock::now();
    UniteExtents(plot.extents, all);
    plot.renderer.Axes = ComputeAxes(plot.limits, plot.extents);
    DrawAxes(plot.renderer, PlotSlot::Main);
    const PixelMapping map = SlotMapping(plot.renderer, PlotSlot::Main);
    plot.canvas.SetPenWidth(plot.renderer.SeriesLineWidth);
    for (std::size_t i = 0; i < 5; ++i) {
      plot.canvas.SetPenColour(kSeriesColours[i]);
      const SeriesPoints& p = parsed[i];
      plot.canvas.MoveTo({map.PixelX(p.X()[0]), map.PixelY(p.Y()[0])});
      for (std::size_t k = 1; k < p.Count(); ++k) plot.canvas.LineTo({map.PixelX(p.X()[k]), map.PixelY(p.Y()[k])});
    }
    const auto end = std::chrono::steady_clock::now();
    samples["straightforward read"].push_back(std::chrono::duration<double>(read - start).count());
    samples["straightforward parse"].push_back(std::chrono::duration<double>(parsedAt - read).count());
    samples["straightforward draw"].push_back(std::chrono::duration<double>(end - parsedAt).count());
  });
}
BENCHMARK(BM_StraightforwardRedraw)->Unit(benchmark::kMillisecond)->Iterations(3);

void QCustomPlotReplot(benchmark::State& state, bool antialiased) {
  Series& data = Data();
  QCustomPlot plot;
  plot.resize(kWidth, kHeight);
  if (!antialiased) plot.setNotAntialiasedElements(QCP::aeAll);
  for (std::size_t i = 0; i < 5; ++i) {
    const SeriesPoints& p = data.points[i];
    QVector<double> keys(p.X().begin(), p.X().end()), values(p.Y().begin(), p.Y().end());
    QCPGraph* graph = plot.addGraph();
    graph->setData(keys, values, true);
    graph->setAdaptiveSampling(true);
    const PlotColour c = kSeriesColours[i];
    graph->setPen(QPen(QColor(c.red, c.green, c.blue), 2));
  }
  plot.rescaleAxes();
  Timed(state, antialiased ? "qcustomplot" : "qcustomplot aliased", [&] {
    QPixmap picture = plot.toPixmap(kWidth, kHeight);
    benchmark::DoNotOptimize(picture);
  });
}
void BM_QCustomPlotReplot(benchmark::State& state) { QCustomPlotReplot(state, true); }
void BM_QCustomPlotReplotAliased(benchmark::State& state) { QCustomPlotReplot(state, false); }
BENCHMARK(BM_QCustomPlotReplot)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_QCustomPlotReplotAliased)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_LoadSeries(benchmark::State& state) {
  const std::string& text = Data().texts[0];
  Timed(state, "load", [&] {
    SeriesPoints points;
    points.Rebuild(text, kRecords);
    benchmark::DoNotOptimize(points.Count());
  });
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LoadSeries)->Unit(benchmark::kMillisecond);

// The whole load of a file into a memo: the document, then its parsed copy.
void BM_LoadIntoMemo(benchmark::State& state) {
  const std::string& text = Data().texts[0];
  SeriesMemo memo;
  Timed(state, "memo load", [&] {
    memo.SetText(text);
    benchmark::DoNotOptimize(memo.Points().Count());
  });
}
BENCHMARK(BM_LoadIntoMemo)->Unit(benchmark::kMillisecond)->Iterations(3);

double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

struct Memory {
  double parsed = 0, parsedByAppends = 0, memo = 0;
};

// Measured first, before anything large is freed, so that the resident size
// grows by what each structure takes.
Memory MeasureMemory() {
  const std::string text = SeriesText(9);
  Memory m;
  double before = ResidentBytes();
  auto parsed = std::make_unique<SeriesPoints>();
  parsed->Rebuild(text, kRecords);
  m.parsed = (ResidentBytes() - before) / kRecords;

  before = ResidentBytes();
  auto appended = std::make_unique<SeriesPoints>();
  std::size_t start = 0;
  for (int line = 1; start < text.size(); ++line) {
    const std::size_t end = text.find('\n', start) + 1;
    if (!appended->AppendText(std::string_view(text).substr(start, end - start), line)) std::abort();
    start = end;
  }
  m.parsedByAppends = (ResidentBytes() - before) / kRecords;

  before = ResidentBytes();
  auto memo = std::make_unique<SeriesMemo>();
  memo->SetText(text);
  m.memo = (ResidentBytes() - before) / kRecords;
  return m;
}

void PrintSummary(const Memory& memory) {
  const double live = Median(samples["live"]) * 1e3;
  const double straight = Median(samples["straightforward"]) * 1e3;
  const double qcp = Median(samples["qcustomplot"]) * 1e3;
  const double qcpAliased = Median(samples["qcustomplot aliased"]) * 1e3;
  const double load = Median(samples["load"]);
  const double loadMBs = static_cast<double>(Data().texts[0].size()) / load / 1e6;
  std::printf("\nSummary, 5 series x %d records, %d x %d pixels (ratio >= 1 meets the target)\n", kRecords, kWidth,
              kHeight);
  std::printf("  live redraw, median           %9.2f ms   target < 4 ms          ratio %6.2f\n", live, 4.0 / live);
  std::printf("  straightforward redraw        %9.1f ms   target >= 50 x live    ratio %6.2f (%.0f x live)\n",
              straight, straight / live / 50.0, straight / live);
  std::printf("    of which: memo texts %.0f ms, parsing %.0f ms, axes and a line per point %.0f ms\n",
              Median(samples["straightforward read"]) * 1e3, Median(samples["straightforward parse"]) * 1e3,
              Median(samples["straightforward draw"]) * 1e3);
  std::printf("  QCustomPlot replot            %9.2f ms   target > live          ratio %6.2f\n", qcp, qcp / live);
  std::printf("  QCustomPlot replot, aliased   %9.2f ms   target > live          ratio %6.2f\n", qcpAliased,
              qcpAliased / live);
  std::printf("  load into the parsed copy     %9.0f MB/s target >= 300 MB/s     ratio %6.2f (%.1f ms)\n", loadMBs,
              loadMBs / 300.0, load * 1e3);
  std::printf("  load into a memo (document + parsed copy) %.0f ms\n", Median(samples["memo load"]) * 1e3);
  std::printf("  memory per record: parsed copy %.1f B (loaded), %.1f B (recorded record by record); memo document "
              "%.0f B\n",
              memory.parsed, memory.parsedByAppends, memory.memo);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const Memory memory = MeasureMemory();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary(memory);
  return 0;
}
