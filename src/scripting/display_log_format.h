#pragma once
#include <string>
#include <string_view>

namespace vireo {

// The display log keeps its newest lines only: enough for days of traffic,
// bounded so that an unattended run never grows it without end.
inline constexpr int kDisplayLogMaxLines = 20000;

// A display-log line at nesting level `level`: -1 the text alone; 0 to 8 the
// text behind level + 1 groups of "|  ".
std::string DisplayLogLine(int level, std::string_view text);

}  // namespace vireo
