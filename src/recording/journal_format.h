#pragma once
// The recording journal's names and line formats: what the files of a run
// are called, how a run folder is named, how an audit-trail line is stamped,
// and which earlier run was left open. Pure text rules, so they are tested
// without a file system; the writer that puts them on disk is file_journal.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vireo {

// The files of a run. The first five hold the series in series order.
enum class JournalFile {
  Sample,
  Reference,
  Probe,
  SampleHeatExchanger,
  ReferenceHeatExchanger,
  Spectrometer,
  DisplayLog,
};
inline constexpr int kJournalFileCount = 7;

// The file of series 1 to 5.
JournalFile SeriesJournalFile(int series);
const char* JournalFileName(JournalFile file);

// A moment of local time; utcOffsetMinutes east of UTC.
struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
  int utcOffsetMinutes = 0;
};

// "2026-12-09 14-03-27": sorts by start time, valid on every file system.
// Attempt 2 and up give "2026-12-09 14-03-27 (2)", for runs started within
// the same second.
std::string RunFolderName(const LocalTime& start, int attempt = 1);
// True for the names RunFolderName makes; other folders under runs/ are the user's.
bool IsRunFolderName(std::string_view name);
// ISO 8601 with milliseconds and the offset: "2026-12-09T14:03:27.120+01:00".
std::string IsoTime(const LocalTime& time);

// `text` as journal lines: each line (CR LF, CR or LF end one, as in the
// display log) behind `stamp` and a tab, each ended by CR LF.
std::string StampedLines(std::string_view stamp, std::string_view text);
// A record as the memo holds it: the text and CR LF (a break it already ends with is not doubled).
std::string RecordLine(std::string_view record);

// The end marker of a run folder; present once the run has ended.
inline constexpr const char* kRunEndMarker = "ended.txt";
std::string EndedNormallyText(std::string_view stamp);
std::string FoundOpenText(std::string_view stamp);

// A run folder as found at start.
struct RunEntry {
  std::string name;
  bool ended = false;  // has its end marker
  bool inUse = false;  // another Vireo is recording into it now
};
// The newest run that was neither ended nor is in use: the previous session
// did not close normally.
std::optional<std::string> NewestUnendedRun(const std::vector<RunEntry>& runs);

// The message at the start after a run was left open.
std::string UnendedRunMessage(std::string_view folder);

}  // namespace vireo
