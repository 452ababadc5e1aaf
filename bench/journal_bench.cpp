// The recording journal's cost on the window thread: journaling one million
// records beside appending a record to its memo, and the longest single
// append while the background thread flushes to stable storage.
// Run: build/bench/journal_bench [FOLDER] (default: a fresh folder under the
// working directory, so that the disk is a real one and not a tmpfs).
#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "recording/file_journal.h"
#include "recording/record_format.h"
#include "recording/series_memo.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  double median, p99, p999, max;  // microseconds
  long over1ms;
  // Of the timing thread during the run: waits in the kernel (disk, lock) and
  // preemptions by other processes. Stalls without waits are the scheduler's.
  long waits, preemptions;
  double medianWait = 0, longestWait = 0;  // us, of the appends that waited in the kernel (timed per call)
};

Figures Summarise(std::vector<double>& us) {
  std::sort(us.begin(), us.end());
  const auto at = [&](double q) { return us[static_cast<std::size_t>(q * static_cast<double>(us.size() - 1))]; };
  const long over = std::count_if(us.begin(), us.end(), [](double v) { return v > 1000.0; });
  return {at(0.5), at(0.99), at(0.999), us.back(), over, 0, 0, 0, 0};
}

void Print(const char* what, std::size_t n, const Figures& f) {
  std::printf("%-36s %7zu records  median %5.2f us  p99 %6.2f us  p99.9 %7.2f us  max %8.1f us  >1ms %ld"
              "  waits %ld (median %.1f, longest %.1f us)  preempted %ld\n",
              what, n, f.median, f.p99, f.p999, f.max, f.over1ms, f.waits, f.medianWait, f.longestWait, f.preemptions);
}

long Waits() {
  rusage now{};
  ::getrusage(RUSAGE_THREAD, &now);
  return now.ru_nvcsw;
}

// With `waitsPerCall`, each append also counts its own waits (two more
// system calls each, so the other figures of such a run are a little high).
template <typename Append>
Figures Time(std::size_t n, Append append, bool waitsPerCall = false) {
  std::vector<double> us(n);
  std::vector<double> waits;
  rusage before{}, after{};
  ::getrusage(RUSAGE_THREAD, &before);
  for (std::size_t i = 0; i < n; ++i) {
    const long waited = waitsPerCall ? Waits() : 0;
    const auto start = Clock::now();
    append(i);
    us[i] = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    if (waitsPerCall && Waits() != waited) waits.push_back(us[i]);
  }
  ::getrusage(RUSAGE_THREAD, &after);
  Figures f = Summarise(us);
  f.waits = after.ru_nvcsw - before.ru_nvcsw;
  f.preemptions = after.ru_nivcsw - before.ru_nivcsw;
  if (!waits.empty()) {
    std::sort(waits.begin(), waits.end());
    f.medianWait = waits[waits.size() / 2];
    f.longestWait = waits.back();
  }
  return f;
}

std::string Record(std::size_t i) {
  static const vireo::RecordFormats formats;
  return vireo::FormatRecord(formats.Sample, static_cast<float>(i) * 0.05f, 20.0f + static_cast<float>(i % 500) * 0.01f);
}

// Journals `n` sample records in a run of its own under `folder`.
Figures Journal(const std::filesystem::path& folder, std::size_t n, std::chrono::milliseconds syncInterval,
                bool waitsPerCall = false) {
  vireo::FileJournal journal(folder.string(), vireo::SystemLocalTime, syncInterval);
  journal.Connected();
  journal.NewRun();
  std::vector<std::string> records(n);
  for (std::size_t i = 0; i < n; ++i) records[i] = Record(i);
  return Time(n, [&](std::size_t i) { journal.SeriesRecord(1, records[i]); }, waitsPerCall);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  namespace fs = std::filesystem;
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "journal-bench-data";
  fs::remove_all(folder);

  // The memo append the journal adds to (the memo grows slowly past some
  // hundred thousand lines, so it is timed on fewer records).
  constexpr std::size_t kMemoRecords = 100000;
  vireo::SeriesMemo memo;
  Print("memo append alone", kMemoRecords, Time(kMemoRecords, [&](std::size_t i) { memo.AppendRecord(Record(i)); }));

  constexpr std::size_t kRecords = 1000000;
  Print("journal append, flush every 10 s", kRecords, Journal(folder / "a", kRecords, std::chrono::seconds(10)));
  // Flushes back to back: the window thread's longest wait while they run.
  Print("journal append, flush every 20 ms", kRecords, Journal(folder / "b", kRecords, std::chrono::milliseconds(20), true));
  fs::remove_all(folder);
  return 0;
}
