#include "spectrometer/melt_segments.h"

#include <algorithm>

namespace vireo {

const char* MeltDirectionName(MeltDirection direction) {
  return direction == MeltDirection::Cooling ? "cooling" : "heating";
}

std::vector<MeltSegment> SplitMeltSegments(const std::vector<MeltPoint>& points) {
  std::vector<MeltSegment> all;
  if (points.empty()) return all;
  int direction = 0;  // +1 heating, -1 cooling, 0 not yet known
  std::size_t start = 0, high = 0, low = 0;  // the segment's first record and its extremes
  auto close = [&](std::size_t end) {  // the segment ends with record `end`
    MeltSegment s;
    s.direction = direction < 0 ? MeltDirection::Cooling : MeltDirection::Heating;
    s.points.assign(points.begin() + static_cast<std::ptrdiff_t>(start), points.begin() + static_cast<std::ptrdiff_t>(end) + 1);
    all.push_back(std::move(s));
    start = end + 1;
  };
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double t = points[i].temperature;
    if (t > points[high].temperature) high = i;
    if (t < points[low].temperature) low = i;
    if (direction == 0) {
      if (points[high].temperature - points[low].temperature >= kMeltTurnDegrees) direction = high > low ? 1 : -1;
      continue;
    }
    const std::size_t extreme = direction > 0 ? high : low;
    if (direction * (points[extreme].temperature - t) >= kMeltTurnDegrees) {
      close(extreme);
      direction = -direction;
      high = low = i;
      for (std::size_t j = start; j < i; ++j) {
        if (points[j].temperature > points[high].temperature) high = j;
        if (points[j].temperature < points[low].temperature) low = j;
      }
    }
  }
  if (direction == 0 && points.back().temperature < points.front().temperature) direction = -1;
  if (start < points.size()) close(points.size() - 1);
  std::vector<MeltSegment> kept;
  for (MeltSegment& s : all) {
    if (s.points.size() >= static_cast<std::size_t>(kMeltSegmentMinimum)) kept.push_back(std::move(s));
  }
  if (kept.empty()) {
    MeltSegment whole{all.front().direction, points};
    kept.push_back(std::move(whole));
  }
  return kept;
}

}  // namespace vireo
