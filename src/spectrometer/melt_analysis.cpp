#include "spectrometer/melt_analysis.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_fit.h>

#include <algorithm>
#include <cmath>

#include "spectrometer/melt_robust.h"

namespace vireo {
namespace {

// The derivative's window holds at least this many points on each side.
constexpr std::size_t kMinimumSide = 3;
// A transition's derivative peak stands this many noise deviations above the
// derivative's median, and above this many absorbance units per degree, which
// is below what the four-decimal readings can show across a run.
constexpr double kPeakNoiseRatio = 8.0;
constexpr double kPeakFloor = 1e-6;

std::vector<MeltPoint> SortedAveraged(std::vector<MeltPoint> points) {
  std::sort(points.begin(), points.end(),
            [](const MeltPoint& a, const MeltPoint& b) { return a.temperature < b.temperature; });
  std::vector<MeltPoint> out;
  std::size_t i = 0;
  while (i < points.size()) {
    std::size_t j = i;
    double sum = 0;
    while (j < points.size() && points[j].temperature == points[i].temperature) sum += points[j++].absorbance;
    out.push_back({points[i].temperature, sum / static_cast<double>(j - i)});
    i = j;
  }
  return out;
}

// dA/dT by local quadratic least squares over +-halfWidth degrees (at least
// kMinimumSide points a side): on evenly spaced points this is the
// Savitzky-Golay derivative, and it stays right where spacing is uneven.
std::vector<double> SmoothedDerivative(const std::vector<MeltPoint>& c, double halfWidth) {
  const std::size_t n = c.size();
  std::vector<double> slope(n);
  std::size_t lo = 0, hi = 0;
  for (std::size_t i = 0; i < n; ++i) {
    while (c[i].temperature - c[lo].temperature > halfWidth && i - lo > kMinimumSide) ++lo;
    if (hi < i) hi = i;
    while (hi + 1 < n && (c[hi + 1].temperature - c[i].temperature <= halfWidth || hi - i < kMinimumSide)) ++hi;
    Quadratic q;
    for (std::size_t j = lo; j <= hi; ++j) q.Add((c[j].temperature - c[i].temperature) / halfWidth, c[j].absorbance);
    q.Solve();
    slope[i] = q.c[1] / halfWidth;
  }
  return slope;
}

// +1 when the absorbance rises across the curve, -1 when it falls, from the
// medians of its first and last sixths, which one reading cannot turn.
int OverallSign(const std::vector<MeltPoint>& c) {
  const std::size_t k = std::max<std::size_t>(kMinimumSide, c.size() / 6);
  std::vector<double> low, high;
  for (std::size_t i = 0; i < k; ++i) low.push_back(c[i].absorbance), high.push_back(c[c.size() - 1 - i].absorbance);
  const double change = Median(high) - Median(low);
  return change > 0 ? 1 : change < 0 ? -1 : 0;
}

struct Peak {
  std::size_t index = 0;
  double height = 0;  // above the median derivative, signed
  double width = 0;   // full width at half height, degrees
  bool inside = false;  // not on the edge of the searched points
};

// The derivative's extremum of the sign `sign` (either, for 0) among the
// points a whole window away from both ends: at the ends the window is
// one-sided, its slope biased by the curve's bend and several times noisier,
// and would pass for a peak. A peak against the curve's overall change is a
// bad reading or a bubble, never the transition.
Peak FindPeak(const std::vector<MeltPoint>& c, const std::vector<double>& slope, double halfWidth, int sign) {
  std::size_t first = 0, last = c.size() - 1;
  while (first < last && c[first].temperature < c.front().temperature + halfWidth) ++first;
  while (last > first && c[last].temperature > c.back().temperature - halfWidth) --last;
  if (last - first < 2) {
    first = 0;
    last = c.size() - 1;
  }
  const double median = Median(slope);
  Peak p;
  p.index = first;
  for (std::size_t i = first; i <= last; ++i) {
    const double h = slope[i] - median;
    if (sign * h >= 0 && std::abs(h) > std::abs(p.height)) {
      p.index = i;
      p.height = h;
    }
  }
  p.inside = p.index > first && p.index < last;
  std::size_t a = p.index, b = p.index;
  while (a > 0 && std::abs(slope[a] - median) > std::abs(p.height) / 2) --a;
  while (b + 1 < slope.size() && std::abs(slope[b] - median) > std::abs(p.height) / 2) ++b;
  p.width = c[b].temperature - c[a].temperature;
  return p;
}

// The vertex of a parabola fitted to the derivative over half a window about
// its extremum sample: the top of a broad peak is flat, and one sample's
// neighbours alone would leave its noise in the position.
double RefinedPeak(const std::vector<MeltPoint>& c, const std::vector<double>& slope, std::size_t i, double halfWidth) {
  const double reach = halfWidth / 2;
  std::size_t a = i - 1, b = i + 1;
  while (a > 0 && c[i].temperature - c[a - 1].temperature <= reach) --a;
  while (b + 1 < c.size() && c[b + 1].temperature - c[i].temperature <= reach) ++b;
  const double scale = std::max(c[i].temperature - c[a].temperature, c[b].temperature - c[i].temperature);
  Quadratic q;
  for (std::size_t j = a; j <= b; ++j) q.Add((c[j].temperature - c[i].temperature) / scale, slope[j]);
  if (!q.Solve() || q.c[2] == 0) return c[i].temperature;
  const double vertex = c[i].temperature - scale * q.c[1] / (2 * q.c[2]);
  return std::clamp(vertex, c[a].temperature, c[b].temperature);
}

// Straight line through `count` points of `c` from index `from`.
Line EndLine(const std::vector<MeltPoint>& c, std::size_t from, std::size_t count) {
  std::vector<double> t(count), a(count);
  for (std::size_t j = 0; j < count; ++j) {
    t[j] = c[from + j].temperature;
    a[j] = c[from + j].absorbance;
  }
  double offset, slope, c00, c01, c11, sumsq;
  gsl_fit_linear(t.data(), 1, a.data(), 1, count, &offset, &slope, &c00, &c01, &c11, &sumsq);
  return {slope, offset};
}

// Starting values: lines through the lowest and highest sixth of the
// temperature span, Tm from the derivative, and dH from the height of the
// derivative peak, which is (U - N) dH g / (R Tm^2) at Tm, g the slope of
// the folded fraction against ln a there (1/4, or 1/6 for a duplex).
FitCell StartingCell(const std::vector<MeltPoint>& c, const std::vector<MeltPoint>& readings) {
  const double span = c.back().temperature - c.front().temperature;
  std::size_t low = 0, high = 0;
  while (low < c.size() && c[low].temperature <= c.front().temperature + span / 6) ++low;
  while (high < c.size() && c[c.size() - 1 - high].temperature >= c.back().temperature - span / 6) ++high;
  low = std::max(low, kMinimumSide);
  high = std::max(high, kMinimumSide);
  return {&readings, 0.0, EndLine(c, 0, low), EndLine(c, c.size() - high, high)};
}

double StartingDh(MeltModel model, const FitCell& cell, double tm, double peakSlope) {
  const double step = cell.unfolded.At(tm) - cell.native.At(tm);
  const double tmK = tm + kKelvin;
  const double excess = peakSlope - (cell.native.slope + cell.unfolded.slope) / 2;
  const double dh = step != 0 ? kGasConstant * tmK * tmK * excess / (FoldedSlope(model, 0.5) * step) / 1000.0 : 0.0;
  return (dh > 20 && dh < 2000) ? dh : 200.0;
}

std::optional<MeltFit> FitCurve(MeltModel model, double lnC, const std::vector<MeltPoint>& readings,
                                const std::vector<MeltPoint>& curve, double tm, double peakSlope) {
  std::vector<FitCell> cells{StartingCell(curve, readings)};
  const std::optional<ThermoFit> thermo =
      FitThermo(model, ThermoForm::DhTm, cells, StartingDh(model, cells[0], tm, peakSlope), tm);
  if (!thermo) return std::nullopt;
  MeltFit fit;
  fit.model = model;
  fit.dh = thermo->p[0];
  fit.tm = thermo->p[1];
  fit.native = cells[0].native;
  fit.unfolded = cells[0].unfolded;
  fit.residualSd = thermo->residualSd;
  // For one molecule a negative dH with the baselines exchanged is the same curve.
  if (fit.dh < 0 && !IsDuplex(model)) {
    fit.dh = -fit.dh;
    std::swap(fit.native, fit.unfolded);
  }
  CompleteThermodynamics(fit, *thermo, lnC);
  const double step = std::abs(fit.unfolded.At(fit.tm) - fit.native.At(fit.tm));
  const bool sound = std::isfinite(fit.tmSe) && std::isfinite(fit.dhSe) && fit.dh > 0 &&
                     fit.tm > curve.front().temperature && fit.tm < curve.back().temperature &&
                     step > 5 * fit.residualSd;
  if (!sound) return std::nullopt;
  fit.complete = BaselinesMeasured(fit, curve);
  return fit;
}

}  // namespace

void CompleteThermodynamics(MeltFit& fit, const ThermoFit& thermo, double lnC) {
  const double tmK = fit.tm + kKelvin;
  fit.dhSe = std::sqrt(thermo.covariance[0][0]);
  fit.tmSe = std::sqrt(thermo.covariance[1][1]);
  fit.ds = EntropyFromTm(fit.model, fit.dh, fit.tm, lnC);
  // Gradients by (dH, Tm): dS = 1000 dH / Tm + const, dG(T) = dH - T dS / 1000.
  const double dsDh = 1000 / tmK, dsDtm = -1000 * fit.dh / (tmK * tmK);
  fit.dsSe = PropagatedSe(thermo, dsDh, dsDtm);
  fit.dg25 = fit.dh - kT25 * fit.ds / 1000;
  fit.dg25Se = PropagatedSe(thermo, 1 - kT25 * dsDh / 1000, -kT25 * dsDtm / 1000);
  fit.dg37 = fit.dh - kT37 * fit.ds / 1000;
  fit.dg37Se = PropagatedSe(thermo, 1 - kT37 * dsDh / 1000, -kT37 * dsDtm / 1000);
}

bool BaselinesMeasured(const MeltFit& fit, const std::vector<MeltPoint>& curve) {
  const double t10 = TemperatureAtUnfolded(fit.model, fit.dh, fit.tm, 0.1);
  const double t90 = TemperatureAtUnfolded(fit.model, fit.dh, fit.tm, 0.9);
  int below = 0, above = 0;
  for (const MeltPoint& p : curve) {
    below += p.temperature < t10;
    above += p.temperature > t90;
  }
  return below >= kBaselineReadings && above >= kBaselineReadings &&
         curve.front().temperature <= t10 - kBaselineDegrees && curve.back().temperature >= t90 + kBaselineDegrees;
}

double MeltFit::Fraction(double t) const { return 1 - FoldedFraction(model, LnAFromTm(model, t, dh, tm)); }

double MeltFit::FractionOf(double t, double a) const {
  const double step = unfolded.At(t) - native.At(t);
  return step != 0 ? (a - native.At(t)) / step : 0.0;
}

const char* MeltOutcomeText(MeltOutcome outcome) {
  switch (outcome) {
    case MeltOutcome::TooFewPoints: return "too few points";
    case MeltOutcome::NoTransition: return "no transition in range";
    case MeltOutcome::NoConcentration: return "no concentration (Ct) given";
    case MeltOutcome::Ok: break;
  }
  return "";
}

MeltResult AnalyseMelt(std::vector<MeltPoint> points, const MeltRange& range, MeltModel model, std::optional<double> ct) {
  // GSL's failures must come back as status codes, never end the program.
  gsl_set_error_handler_off();
  std::erase_if(points, [&](const MeltPoint& p) {
    return !std::isfinite(p.temperature) || !std::isfinite(p.absorbance) ||
           (range.minimum && p.temperature < *range.minimum) || (range.maximum && p.temperature > *range.maximum);
  });
  MeltResult r;
  r.points = static_cast<int>(points.size());
  r.curve = SortedAveraged(points);
  if (r.curve.size() < static_cast<std::size_t>(kMeltMinimumTemperatures)) {
    r.curve.clear();
    return r;
  }
  const Outliers wild = IsolatedOutliers(r.curve);
  r.noise = wild.noise;
  for (auto i = wild.indices.rbegin(); i != wild.indices.rend(); ++i) {
    const MeltPoint bad = r.curve[*i];
    r.outliers.insert(r.outliers.begin(), bad);
    r.curve.erase(r.curve.begin() + static_cast<std::ptrdiff_t>(*i));
    std::erase_if(points, [&](const MeltPoint& p) { return p.temperature == bad.temperature; });
  }
  r.readings = std::move(points);
  const std::size_t n = r.curve.size();

  // A first pass with a window of a twenty-fifth of the span finds the
  // transition; the second fits the window to the transition's width, so a
  // dense run is smoothed over many points and a sparse one over a few.
  std::vector<double> gaps(n - 1);
  for (std::size_t i = 1; i < n; ++i) gaps[i - 1] = r.curve[i].temperature - r.curve[i - 1].temperature;
  const double spacing = Median(gaps);
  const double span = r.curve.back().temperature - r.curve.front().temperature;
  const int sign = OverallSign(r.curve);
  const double firstWidth = std::max(span / 25, kMinimumSide * spacing);
  const Peak rough = FindPeak(r.curve, SmoothedDerivative(r.curve, firstWidth), firstWidth, sign);
  const double halfWidth = std::clamp(rough.width / 2, kMinimumSide * spacing, std::max(span / 4, kMinimumSide * spacing));
  r.derivative = SmoothedDerivative(r.curve, halfWidth);
  const Peak peak = FindPeak(r.curve, r.derivative, halfWidth, sign);

  double spread = 0;  // the derivative's leverage at the peak: its noise is the readings' over its root
  for (const MeltPoint& p : r.curve) {
    const double u = p.temperature - r.curve[peak.index].temperature;
    if (std::abs(u) <= halfWidth) spread += u * u;
  }
  const double slopeNoise = spread > 0 ? r.noise / std::sqrt(spread) : 0.0;
  r.outcome = MeltOutcome::NoTransition;
  if (!peak.inside) return r;
  if (std::abs(peak.height) <= kPeakNoiseRatio * slopeNoise || std::abs(peak.height) <= kPeakFloor) return r;

  r.tmDerivative = RefinedPeak(r.curve, r.derivative, peak.index, halfWidth);
  if (IsDuplex(model) && !(ct && *ct > 0)) {
    r.outcome = MeltOutcome::NoConcentration;
    return r;
  }
  r.outcome = MeltOutcome::Ok;
  const double lnC = ct && *ct > 0 ? LnConcentrationFactor(model, *ct) : 0.0;
  r.fit = FitCurve(model, lnC, r.readings, r.curve, *r.tmDerivative, r.derivative[peak.index]);
  return r;
}

}  // namespace vireo
