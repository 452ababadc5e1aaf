#pragma once
// Least-squares fit of melting curves to a two-state model with sloped
// baselines, one or several cells at once:
//   A(T) = N(T) + (U(T) - N(T)) (1 - theta(ln a(T))),
// N and U straight lines of each cell. Two thermodynamic parameters are
// shared by all cells: dH and the Tm (one cell), or dH and dS (a global fit
// of a concentration series, each cell with its own concentration factor).

#include <optional>
#include <vector>

#include "spectrometer/melt_models.h"
#include "spectrometer/melt_table.h"

namespace vireo {

struct Line {
  double slope = 0;      // per degree Celsius
  double intercept = 0;  // at 0 degrees Celsius
  double At(double t) const { return intercept + slope * t; }
};

enum class ThermoForm { DhTm, DhDs };

struct FitCell {
  const std::vector<MeltPoint>* points = nullptr;
  double lnC = 0;  // LnConcentrationFactor; DhDs only
  Line native, unfolded;  // starting values in, fitted values out
};

struct ThermoFit {
  double p[2] = {0, 0};          // dH (kJ/mol), then Tm (Celsius) or dS (J/(mol K))
  double covariance[2][2] = {};  // of p, scaled by the residual variance
  double residualSd = 0;
};

// Fits `cells` from the starting p0, p1 and baselines; none when the
// solver fails or the covariance is not finite.
std::optional<ThermoFit> FitThermo(MeltModel model, ThermoForm form, std::vector<FitCell>& cells, double p0, double p1);

// The standard error of g0 p0 + g1 p1 under the fit's covariance.
double PropagatedSe(const ThermoFit& fit, double g0, double g1);

}  // namespace vireo
