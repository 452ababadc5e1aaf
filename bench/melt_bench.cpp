// The melting analysis: a nine-cell heteroduplex concentration series of 180
// readings a cell with all three methods, and a full six-cell table of 2,000
// records a cell (a slow overnight ramp), from its text to every result.
#include <benchmark/benchmark.h>

#include <cmath>

#include "spectrometer/melt_curves.h"
#include "spectrometer/melt_report.h"

namespace {

std::string SixCellRun() {
  std::vector<std::vector<vireo::MeltPoint>> curves;
  for (int c = 0; c < 6; ++c) {
    curves.push_back(vireo::testing::Curve(vireo::testing::TwoState{42.0 + 6 * c, 250}, 20, 90, 70.0 / 1999, 0.002,
                                           7 + static_cast<unsigned>(c)));
  }
  return vireo::testing::SixCellTable(curves);
}

void BM_AnalyseSixCells(benchmark::State& state) {
  const std::string table = SixCellRun();
  for (auto _ : state) benchmark::DoNotOptimize(vireo::AnalyseMeltSet(vireo::MeltCellsOf(table), {}));
  state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_AnalyseSixCells)->Unit(benchmark::kMillisecond);

// Reading the table alone, for its share of the above.
void BM_ReadSixCells(benchmark::State& state) {
  const std::string table = SixCellRun();
  for (auto _ : state) benchmark::DoNotOptimize(vireo::ReadMeltCells(table));
}
BENCHMARK(BM_ReadSixCells)->Unit(benchmark::kMillisecond);

// A heteroduplex series of `count` cells from 2 to 120 micromolar, 5 to
// 94.5 degrees in `readings` steps.
std::vector<vireo::MeltCell> Series(int count, int readings) {
  std::vector<vireo::MeltCell> cells;
  for (int c = 0; c < count; ++c) {
    const double ct = 2 * std::pow(60.0, c / (count - 1.0));
    const vireo::testing::Duplex truth{vireo::MeltModel::Heteroduplex, 350, 1000, ct};
    cells.push_back({c + 1, vireo::testing::Curve(truth, 5, 94.5, 89.5 / (readings - 1), 0.002, 40 + static_cast<unsigned>(c)), ct});
  }
  return cells;
}

// Nine cells of 180 readings (0.5-degree steps), and six of 2,000, with all three methods.
void BM_ConcentrationSeries(benchmark::State& state) {
  const std::vector<vireo::MeltCell> cells = Series(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    const vireo::MeltSetResult set = vireo::AnalyseMeltSet(cells, {vireo::MeltModel::Heteroduplex, {}});
    if (!set.series || !set.series->global) state.SkipWithError("no global fit");
    benchmark::DoNotOptimize(set);
  }
}
BENCHMARK(BM_ConcentrationSeries)->Args({9, 180})->Args({6, 2000})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
