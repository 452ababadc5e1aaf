#pragma once
// A run that heats and then cools (or the reverse) holds two melting curves:
// the records of one cell, in the order taken, split where the temperature
// turns back.

#include <vector>

#include "spectrometer/melt_table.h"

namespace vireo {

enum class MeltDirection { Heating, Cooling };

// "heating" or "cooling".
const char* MeltDirectionName(MeltDirection direction);

struct MeltSegment {
  MeltDirection direction = MeltDirection::Heating;
  std::vector<MeltPoint> points;
};

// The temperature turns back when it has moved this far from the last
// extreme: more than a controller overshoots or a probe wavers.
inline constexpr double kMeltTurnDegrees = 3.0;
// A segment shorter than this is a return to the start temperature, not a
// curve, and is left out when a longer one remains.
inline constexpr int kMeltSegmentMinimum = 12;

// The segments of `points` (in recording order), each turning point closing
// the segment before it. A run that never turns back is one segment.
std::vector<MeltSegment> SplitMeltSegments(const std::vector<MeltPoint>& points);

}  // namespace vireo
