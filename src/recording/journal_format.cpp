#include "recording/journal_format.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vireo {
namespace {

constexpr const char* kFileNames[kJournalFileCount] = {
    "sample.txt",      "reference.txt",      "probe.txt", "sample-heat-exchanger.txt", "reference-heat-exchanger.txt",
    "spectrometer.txt", "display-log.txt",
};

bool Digits(std::string_view text, std::size_t from, std::size_t count) {
  if (from + count > text.size()) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from),
                     text.begin() + static_cast<std::ptrdiff_t>(from + count),
                     [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

JournalFile SeriesJournalFile(int series) { return static_cast<JournalFile>(series - 1); }

const char* JournalFileName(JournalFile file) { return kFileNames[static_cast<int>(file)]; }

std::string RunFolderName(const LocalTime& t, int attempt) {
  char name[64];
  std::snprintf(name, sizeof name, "%04d-%02d-%02d %02d-%02d-%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  std::string out = name;
  if (attempt > 1) out += " (" + std::to_string(attempt) + ")";
  return out;
}

bool IsRunFolderName(std::string_view n) {
  // yyyy-mm-dd hh-mm-ss, optionally " (k)"
  if (n.size() < 19) return false;
  const bool stamp = Digits(n, 0, 4) && n[4] == '-' && Digits(n, 5, 2) && n[7] == '-' && Digits(n, 8, 2) &&
                     n[10] == ' ' && Digits(n, 11, 2) && n[13] == '-' && Digits(n, 14, 2) && n[16] == '-' &&
                     Digits(n, 17, 2);
  if (!stamp) return false;
  if (n.size() == 19) return true;
  return n.size() >= 23 && n.substr(19, 2) == " (" && n.back() == ')' && Digits(n, 21, n.size() - 22);
}

std::string IsoTime(const LocalTime& t) {
  const int offset = std::abs(t.utcOffsetMinutes);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second, t.millisecond, t.utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return text;
}

std::string StampedLines(std::string_view stamp, std::string_view text) {
  std::string out;
  out.reserve(text.size() + stamp.size() + 3);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find_first_of("\r\n", start);
    out.append(stamp);
    out += '\t';
    out.append(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    out += "\r\n";
    if (end == std::string_view::npos) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    if (start == text.size()) break;  // a final break ends the last line, it starts none
  }
  return out;
}

std::string RecordLine(std::string_view record) {
  while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.remove_suffix(1);
  std::string line(record);
  line += "\r\n";
  return line;
}

std::string EndedNormallyText(std::string_view stamp) {
  return "Run ended normally at " + std::string(stamp) + ".\r\n";
}

std::string FoundOpenText(std::string_view stamp) {
  return "Vireo did not close normally during this run; found open at the start of " + std::string(stamp) +
         ". Every record written before then is kept.\r\n";
}

std::optional<std::string> NewestUnendedRun(const std::vector<RunEntry>& runs) {
  std::optional<std::string> newest;
  for (const RunEntry& run : runs) {
    if (run.ended || run.inUse || !IsRunFolderName(run.name)) continue;
    if (!newest || run.name > *newest) newest = run.name;
  }
  return newest;
}

std::string UnendedRunMessage(std::string_view folder) {
  return "Vireo did not close normally last time. The data recorded until then are kept in " + std::string(folder) +
         ".";
}

}  // namespace vireo
