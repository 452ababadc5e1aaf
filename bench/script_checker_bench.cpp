// The script checker on long files, as "Check Script File ..." runs it on
// the window thread: a file with a problem on every line is the worst case.
#include <benchmark/benchmark.h>

#include <string>

#include "scripting/script_checker.h"

namespace {

std::string ScriptOfProblems(int lines) {
  std::string text = "CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n";
  for (int i = 0; i < lines; ++i) text += (i % 2 == 0) ? "[*SS+]\r\n" : "[*XYZ]\r\n";
  return text;
}

void BM_CheckScriptFullOfProblems(benchmark::State& state) {
  const std::string text = ScriptOfProblems(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(vireo::CheckScript(text));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckScriptFullOfProblems)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
