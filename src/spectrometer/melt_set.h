#pragma once
// The melting analysis of a set of cells, from one or several data files:
// each cell's heating and cooling segments, the hysteresis between them,
// and, for a duplex model, the concentration series of the cells.

#include <optional>
#include <vector>

#include "spectrometer/melt_analysis.h"
#include "spectrometer/melt_segments.h"
#include "spectrometer/melt_series.h"

namespace vireo {

struct MeltCell {
  int number = 0;  // 1 to 6 in the first file, 7 to 12 in the second, ...
  std::vector<MeltPoint> points;  // in recording order
  std::optional<double> ct;       // total strand concentration, micromolar
};

struct MeltOptions {
  MeltModel model = MeltModel::Unimolecular;
  MeltRange range;
};

struct MeltRow {
  int cell = 0;
  MeltDirection direction = MeltDirection::Heating;
  std::optional<double> ct;
  MeltResult result;
  // The heating Tm less the cooling Tm of the same cell, on both rows.
  std::optional<double> hysteresis;
};

struct MeltSetResult {
  MeltModel model = MeltModel::Unimolecular;
  std::vector<MeltRow> rows;  // by cell, then in recording order
  // Of the first heating segment of each cell (the first cooling one for a
  // cell that only cools), when the model is a duplex.
  std::optional<MeltSeries> series;
};

MeltSetResult AnalyseMeltSet(const std::vector<MeltCell>& cells, const MeltOptions& options);

}  // namespace vireo
