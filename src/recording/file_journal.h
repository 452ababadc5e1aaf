#pragma once
// The recording journal on disk: the run rules of JournalRuns carried out by
// a JournalWriter under <data folder>/runs/.

#include <chrono>
#include <functional>
#include <string>

#include "recording/journal.h"
#include "recording/journal_runs.h"
#include "recording/journal_writer.h"

namespace vireo {

class FileJournal final : public Journal, private JournalHost {
 public:
  using Clock = std::function<LocalTime()>;
  // Looks for a run the previous session left open and marks it as found.
  explicit FileJournal(std::string dataFolder, Clock clock = SystemLocalTime,
                       std::chrono::milliseconds syncInterval = std::chrono::seconds(10));
  // A clean end: the run in progress is marked as ended.
  ~FileJournal() override;

  void Connected() override { runs_.Connected(); }
  void NewRun() override { runs_.NewRun(); }
  void Disconnected() override { runs_.Disconnected(); }
  void Close() override { runs_.Close(); }
  void SeriesRecord(int series, std::string_view record) override;
  void DisplayLogText(std::string_view text) override { runs_.LogText(text); }
  void SpectrometerHeader(std::string_view header) override { runs_.SpectrometerHeader(header); }
  void SpectrometerRecord(std::string_view record) override { runs_.SpectrometerRecord(record); }
  std::optional<std::string> TakeFailure() override { return writer_.TakeFailure(); }
  bool Retry() override { return writer_.Retry(); }
  std::string DataFolder() const override { return dataFolder_; }
  bool MakeDataFolder() override;
  std::string UnendedRun() const override { return unended_; }
  // The open run's folder; empty when none is open.
  std::string RunFolder() const override { return writer_.RunFolder(); }
  // Told when a run starts (true) and ends (false), with its folder.
  std::function<void(bool started, const std::string& folder)> onRun;

 private:
  void OpenRun() override {
    writer_.OpenRun(clock_());
    if (onRun) onRun(true, writer_.RunFolder());
  }
  void EndRun() override {
    const std::string folder = writer_.RunFolder();
    writer_.EndRun(EndedNormallyText(Stamp()));
    if (onRun) onRun(false, folder);
  }
  void Append(JournalFile file, std::string_view lines) override { writer_.Append(file, lines); }
  std::string Stamp() override { return IsoTime(clock_()); }

  const std::string dataFolder_;
  const Clock clock_;
  std::string unended_;
  JournalWriter writer_;
  JournalRuns runs_{*this};
};

}  // namespace vireo
