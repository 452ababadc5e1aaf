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

}  // namespace vireo
