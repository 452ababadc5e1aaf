#include "scripting/display_log_format.h"

#include <algorithm>

namespace vireo {

std::string DisplayLogLine(int level, std::string_view text) {
  std::string line;
  if (level >= 0) {
    // Scripts nest at most nine loops; a deeper level keeps the deepest prefix.
    const int groups = std::min(level, 8) + 1;
    line.reserve(static_cast<std::size_t>(groups) * 3 + text.size());
    for (int i = 0; i < groups; ++i) line += "|  ";
  }
  line.append(text);
  return line;
}

std::string DroppedLinesNotice(long dropped, std::string_view runFolder) {
  std::string notice = "-------" + std::to_string(dropped) + " earlier lines are no longer shown; ";
  if (runFolder.empty()) return notice + "the journal's display-log.txt of each run keeps every line";
  std::string path(runFolder);
  if (path.back() != '/') path += '/';
  return notice + "the whole log is in " + path + "display-log.txt";
}

}  // namespace vireo
