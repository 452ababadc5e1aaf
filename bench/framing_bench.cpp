// Reply framing and field reading throughput, beside the fastest controller
// link: 115200 baud at 10 bits per byte is 11,520 bytes per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controller/protocol.h"
#include "controller/reply_assembler.h"

namespace {

constexpr double kFastestLinkBytesPerSecond = 115200.0 / 10.0;

std::string MakeTraffic(int replies) {
  std::string traffic;
  static const char* const kSamples[] = {"[F1 CT 24.87]\r\n", "[R1 CT 25.01]\r\n", "[F1 HT 18.40]\r\n",
                                         "[F1 IS 0++S]\r\n", "[F1 PT 24.93]\r\n", "[F1 TT 25.00]\r\n"};
  for (int i = 0; i < replies; ++i) traffic += kSamples[i % 6];
  return traffic;
}

void Report(benchmark::State& state, std::size_t bytes, int replies) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.SetItemsProcessed(state.iterations() * replies);
}

// Prints each benchmark's throughput beside the fastest controller link.
class LinkRatioReporter : public benchmark::ConsoleReporter {
 public:
  LinkRatioReporter() : ConsoleReporter(OO_None) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto bytes = run.counters.find("bytes_per_second");
      const auto items = run.counters.find("items_per_second");
      if (bytes == run.counters.end() || items == run.counters.end()) continue;
      std::printf("  %s: %.1f MB/s, %.2f million replies/s, %.0f times the fastest link (115200 baud, %.1f kB/s)\n",
                  run.benchmark_name().c_str(), bytes->second.value / 1e6, items->second.value / 1e6,
                  bytes->second.value / kFastestLinkBytesPerSecond, kFastestLinkBytesPerSecond / 1e3);
    }
  }
};

// Framing alone, in the 100-byte chunks the receive handler reads.
void BM_FrameReplies(benchmark::State& state) {
  const std::string traffic = MakeTraffic(1000);
  vireo::ReplyAssembler assembler;
  std::size_t frames = 0;
  for (auto _ : state) {
    for (std::size_t at = 0; at < traffic.size(); at += 100) {
      const std::size_t n = std::min<std::size_t>(100, traffic.size() - at);
      vireo::AssembleChunk(assembler, traffic.data() + at, n, [&](std::string_view) { ++frames; });
    }
    benchmark::DoNotOptimize(frames);
  }
  Report(state, traffic.size(), 1000);
}
BENCHMARK(BM_FrameReplies);

// Framing plus reading each reply's address, code and value.
void BM_FrameAndReadFields(benchmark::State& state) {
  const std::string traffic = MakeTraffic(1000);
  vireo::ReplyAssembler assembler;
  double sum = 0;
  for (auto _ : state) {
    for (std::size_t at = 0; at < traffic.size(); at += 100) {
      const std::size_t n = std::min<std::size_t>(100, traffic.size() - at);
      vireo::AssembleChunk(assembler, traffic.data() + at, n, [&](std::string_view frame) {
        if (vireo::IsSampleSide(frame) && vireo::CodeIs(frame, "CT")) {
          sum += vireo::ReadFloatAt(frame, vireo::kArgumentPos).value_or(0.0f);
        } else if (vireo::CodeIs(frame, "IS")) {
          sum += vireo::ReadStatus(frame).stable;
        } else {
          sum += vireo::ReadFloatAt(frame, vireo::kArgumentPos).value_or(0.0f);
        }
      });
    }
    benchmark::DoNotOptimize(sum);
  }
  Report(state, traffic.size(), 1000);
}
BENCHMARK(BM_FrameAndReadFields);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  LinkRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
