// The melting analysis of a full six-cell table of 2,000 records a cell (a
// slow overnight ramp), from its text to every cell's results.
#include <benchmark/benchmark.h>

#include "spectrometer/melt_curves.h"
#include "spectrometer/melt_report.h"

namespace {

std::string SixCellRun() {
  std::vector<std::vector<vireo::MeltPoint>> curves;
  for (int c = 0; c < 6; ++c) {
    curves.push_back(vireo::testing::Curve({42.0 + 6 * c, 250}, 20, 90, 70.0 / 1999, 0.002, 7 + static_cast<unsigned>(c)));
  }
  return vireo::testing::SixCellTable(curves);
}

void BM_AnalyseSixCells(benchmark::State& state) {
  const std::string table = SixCellRun();
  for (auto _ : state) benchmark::DoNotOptimize(vireo::AnalyseMeltTable(table));
  state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_AnalyseSixCells)->Unit(benchmark::kMillisecond);

// Reading the table alone, for its share of the above.
void BM_ReadSixCells(benchmark::State& state) {
  const std::string table = SixCellRun();
  for (auto _ : state) benchmark::DoNotOptimize(vireo::ReadMeltCells(table));
}
BENCHMARK(BM_ReadSixCells)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
