#pragma once
// A parsed series as (time, temperature) pairs, for comparing parses.

#include <utility>
#include <vector>

#include "recording/series_points.h"

namespace vireo {

using Points = std::vector<std::pair<float, float>>;

inline Points PointsOf(const SeriesPoints& s) {
  Points out;
  for (std::size_t i = 0; i < s.Count(); ++i) out.emplace_back(s.X()[i], s.Y()[i]);
  return out;
}

}  // namespace vireo
