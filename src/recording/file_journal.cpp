#include "recording/file_journal.h"

#include <csignal>
#include <filesystem>

namespace vireo {
namespace {

std::string RunsFolder(const std::string& dataFolder) { return (std::filesystem::path(dataFolder) / "runs").string(); }

}  // namespace

FileJournal::FileJournal(std::string dataFolder, Clock clock, std::chrono::milliseconds syncInterval)
    : dataFolder_(std::move(dataFolder)), clock_(std::move(clock)), writer_(RunsFolder(dataFolder_), syncInterval) {
  // A file-size limit must fail the write (EFBIG), not end the program and
  // the data still only in the window.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::string runsFolder = RunsFolder(dataFolder_);
  const std::vector<RunEntry> runs = JournalWriter::ListRuns(runsFolder);
  if (const auto newest = NewestUnendedRun(runs)) unended_ = (std::filesystem::path(runsFolder) / *newest).string();
  // Every run left open is named once; marking it keeps the next start from naming it again.
  const std::string found = FoundOpenText(Stamp());
  for (const RunEntry& run : runs) {
    if (!run.ended && !run.inUse) JournalWriter::MarkRun((std::filesystem::path(runsFolder) / run.name).string(), found);
  }
}

FileJournal::~FileJournal() { runs_.Close(); }

void FileJournal::SeriesRecord(int series, std::string_view record) {
  if (series < 1 || series > 5) return;
  runs_.Record(SeriesJournalFile(series), record);
}

bool FileJournal::MakeDataFolder() {
  std::error_code error;
  std::filesystem::create_directories(dataFolder_, error);
  return !error;
}

}  // namespace vireo
