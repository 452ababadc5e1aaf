#pragma once
#include <string>
#include <string_view>

namespace vireo {

// The display log keeps its newest lines only: enough for days of traffic,
// bounded so that an unattended run never grows it without end. Once lines
// are dropped, its first line says how many and where the whole log is.
inline constexpr int kDisplayLogMaxLines = 20000;

// That first line. `runFolder` is the journal's folder of the run, empty
// when no run is journaled (offline, or before the run's first record).
std::string DroppedLinesNotice(long dropped, std::string_view runFolder);

// A display-log line at nesting level `level`: -1 the text alone; 0 to 8 the
// text behind level + 1 groups of "|  ".
std::string DisplayLogLine(int level, std::string_view text);

}  // namespace vireo
