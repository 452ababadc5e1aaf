#include "recording/file_journal.h"

#include <csignal>
#include <filesystem>
#include <fstream>

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
  const std::string stamp = Stamp();
  const std::string found = FoundOpenText(stamp);
  for (const RunEntry& run : runs) {
    if (run.ended || run.inUse) continue;
    const std::string folder = (std::filesystem::path(runsFolder) / run.name).string();
    JournalWriter::MarkRun(folder, found);
    // The audit trail of that run says how it ended too.
    std::ofstream(std::filesystem::path(folder) / JournalFileName(JournalFile::DisplayLog),
                  std::ios::binary | std::ios::app)
        << StampedLines(stamp, "-------" + found.substr(0, found.find('\r')));
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
