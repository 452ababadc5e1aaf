#pragma once
// The melting temperature of one curve: by the first derivative, and by a
// two-state fit with sloped baselines (melt_fit.h) to the chosen model
// (melt_models.h), after isolated wild readings are left out.

#include <optional>
#include <string>
#include <vector>

#include "spectrometer/melt_fit.h"
#include "spectrometer/melt_table.h"

namespace vireo {

struct MeltRange {
  std::optional<double> minimum;  // degrees Celsius; none: no limit
  std::optional<double> maximum;
};

// What the fit gives, in kJ/mol and J/(mol K), melting direction.
struct MeltFit {
  MeltModel model = MeltModel::Unimolecular;
  double tm = 0;  // degrees Celsius, at the cell's concentration
  double tmSe = 0;
  double dh = 0;  // van 't Hoff enthalpy
  double dhSe = 0;
  double ds = 0;
  double dsSe = 0;
  double dg25 = 0;  // dH - T dS at 25 and at 37 degrees, no heat-capacity change
  double dg25Se = 0;
  double dg37 = 0;
  double dg37Se = 0;
  double residualSd = 0;
  Line native;
  Line unfolded;
  // Whether both baselines were measured: see BaselinesMeasured.
  bool complete = true;
  // The model's fraction unfolded at temperature t.
  double Fraction(double t) const;
  // The data's fraction unfolded: where absorbance a lies between the baselines.
  double FractionOf(double t, double a) const;
};

enum class MeltOutcome { Ok, TooFewPoints, NoTransition, NoConcentration };

struct MeltResult {
  int points = 0;                     // records within the range
  MeltOutcome outcome = MeltOutcome::TooFewPoints;
  std::optional<double> tmDerivative;  // degrees Celsius
  std::optional<MeltFit> fit;          // none when the fit found no transition
  std::vector<MeltPoint> readings;     // within the range, outliers left out: what was fitted
  std::vector<MeltPoint> curve;        // sorted, equal temperatures averaged, outliers left out
  std::vector<double> derivative;      // dA/dT at each point of `curve`
  std::vector<MeltPoint> outliers;     // isolated wild readings left out
  double noise = 0;                    // robust standard deviation of one reading
};

// Fewer distinct temperatures than this give no result.
inline constexpr int kMeltMinimumTemperatures = 12;

// A baseline counts as measured when the curve goes on beyond the fitted
// 10-90 % span of the transition on that side by at least this many degrees
// and this many readings; otherwise the result is "transition incomplete".
inline constexpr double kBaselineDegrees = 3.0;
inline constexpr int kBaselineReadings = 5;

// `ct` is the total strand concentration in micromolar, which the duplex
// models need and the unimolecular one ignores.
MeltResult AnalyseMelt(std::vector<MeltPoint> points, const MeltRange& range = {},
                       MeltModel model = MeltModel::Unimolecular, std::optional<double> ct = std::nullopt);

// Fills dS, dG and their errors of `fit` from dH, Tm, their covariance and
// the cell's concentration factor.
void CompleteThermodynamics(MeltFit& fit, const ThermoFit& thermo, double lnC);

// Whether `curve` reaches beyond the fitted 10-90 % span on both sides (see above).
bool BaselinesMeasured(const MeltFit& fit, const std::vector<MeltPoint>& curve);

// "too few points", "no transition in range", "no concentration (Ct) given" or "".
const char* MeltOutcomeText(MeltOutcome outcome);

}  // namespace vireo
