#pragma once
// A concentration series of a duplex: the cells' individual fits averaged,
// the van 't Hoff line of 1/Tm against ln Ct, and a global fit of all cells
// with one dH and dS and baselines of their own.
//
// From Tm = dH / (dS - R ln(c a_m)) with c the model's concentration
// factor (melt_models.h):
//   1/Tm = -(R/dH) ln Ct + (dS + R k)/dH,  k = ln 4 (heteroduplex), 0 (homoduplex),
// with Ct in mol/L.

#include <optional>
#include <vector>

#include "spectrometer/melt_analysis.h"

namespace vireo {

struct MeltMethod {
  double dh = 0, dhSe = 0;      // kJ/mol
  double ds = 0, dsSe = 0;      // J/(mol K)
  double dg37 = 0, dg37Se = 0;  // kJ/mol
};

struct MeltSeriesMember {
  double ct = 0;  // micromolar
  const MeltResult* result = nullptr;  // with a fit
};

struct MeltSeriesPoint {
  double lnCt = 0;   // Ct in mol/L
  double inverseTm = 0, inverseTmSe = 0;  // 1/K
};

struct MeltSeries {
  int cells = 0;
  MeltMethod individual;   // mean; errors are the standard errors of the mean
  MeltMethod tmVsLnCt;     // from the line
  std::optional<MeltMethod> global;  // none when the global fit fails
  double slope = 0, intercept = 0;  // of the line, 1/K against ln(Ct / M)
  double r2 = 0;
  std::vector<MeltSeriesPoint> points;
  // The largest difference in dH between the methods, as a percentage of their mean.
  double dhSpreadPercent = 0;
};

// Cells of distinct concentration a series needs.
inline constexpr int kMeltSeriesMinimum = 3;

// The series of the members with a complete fit (both baselines measured)
// under a duplex model; none with fewer than kMeltSeriesMinimum distinct
// concentrations among them.
std::optional<MeltSeries> AnalyseMeltSeries(MeltModel model, const std::vector<MeltSeriesMember>& members);

}  // namespace vireo
