#include "spectrometer/melt_set.h"

namespace vireo {
namespace {

std::optional<double> BestTm(const MeltResult& r) { return r.fit ? std::optional(r.fit->tm) : r.tmDerivative; }

}  // namespace

MeltSetResult AnalyseMeltSet(const std::vector<MeltCell>& cells, const MeltOptions& options) {
  MeltSetResult set;
  set.model = options.model;
  std::vector<std::size_t> seriesRows;
  for (const MeltCell& cell : cells) {
    if (cell.points.empty()) continue;
    const std::size_t first = set.rows.size();
    for (MeltSegment& segment : SplitMeltSegments(cell.points)) {
      set.rows.push_back({cell.number, segment.direction, cell.ct,
                          AnalyseMelt(std::move(segment.points), options.range, options.model, cell.ct), std::nullopt});
    }
    // Hysteresis between the first heating and the first cooling segment.
    std::optional<std::size_t> heating, cooling;
    for (std::size_t i = first; i < set.rows.size(); ++i) {
      std::optional<std::size_t>& slot = set.rows[i].direction == MeltDirection::Heating ? heating : cooling;
      if (!slot) slot = i;
    }
    if (heating && cooling) {
      const auto up = BestTm(set.rows[*heating].result), down = BestTm(set.rows[*cooling].result);
      if (up && down) set.rows[*heating].hysteresis = set.rows[*cooling].hysteresis = *up - *down;
    }
    seriesRows.push_back(heating ? *heating : first);
  }
  std::vector<MeltSeriesMember> members;
  for (std::size_t i : seriesRows) {
    const MeltRow& row = set.rows[i];
    if (row.ct) members.push_back({*row.ct, &row.result});
  }
  set.series = AnalyseMeltSeries(options.model, members);
  return set;
}

}  // namespace vireo
