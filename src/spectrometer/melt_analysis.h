#pragma once
// The melting temperature of one cell's curve: by the first derivative, and
// by a two-state fit with sloped baselines,
//   A(T) = N(T) + (U(T) - N(T)) f(T),  f = K / (1 + K),
//   K = exp(-(dH / R) (1/T - 1/Tm)), T in kelvin,
// N and U straight lines (native and unfolded baselines).

#include <optional>
#include <string>
#include <vector>

#include "spectrometer/melt_table.h"

namespace vireo {

struct MeltRange {
  std::optional<double> minimum;  // degrees Celsius; none: no limit
  std::optional<double> maximum;
};

struct Line {
  double slope = 0;      // per degree Celsius
  double intercept = 0;  // at 0 degrees Celsius
  double At(double t) const { return intercept + slope * t; }
};

struct MeltFit {
  double tm = 0;       // degrees Celsius
  double tmSe = 0;
  double dh = 0;       // kJ/mol, van 't Hoff enthalpy
  double dhSe = 0;
  double ds = 0;       // J/(mol K), dH / Tm
  double dg25 = 0;     // kJ/mol, dH (1 - 298.15 K / Tm), no heat-capacity change
  double residualSd = 0;
  Line native;
  Line unfolded;
  // The model's fraction unfolded at temperature t.
  double Fraction(double t) const;
  // The data's fraction unfolded: where absorbance a lies between the baselines.
  double FractionOf(double t, double a) const;
};

enum class MeltOutcome { Ok, TooFewPoints, NoTransition };

struct MeltResult {
  int points = 0;                     // records within the range
  MeltOutcome outcome = MeltOutcome::TooFewPoints;
  std::optional<double> tmDerivative;  // degrees Celsius
  std::optional<MeltFit> fit;          // none when the fit found no transition
  std::vector<MeltPoint> curve;        // sorted, equal temperatures averaged
  std::vector<double> derivative;      // dA/dT at each point of `curve`
};

// Fewer distinct temperatures than this give no result.
inline constexpr int kMeltMinimumTemperatures = 12;

MeltResult AnalyseMelt(std::vector<MeltPoint> points, const MeltRange& range = {});

// "too few points", "no transition in range" or "".
const char* MeltOutcomeText(MeltOutcome outcome);

}  // namespace vireo
