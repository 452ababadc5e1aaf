#include "spectrometer/melt_analysis.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_fit.h>
#include <gsl/gsl_linalg.h>
#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace vireo {
namespace {

constexpr double kGasConstant = 8.314462618;  // J/(mol K)
constexpr double kKelvin = 273.15;
constexpr double kStandardTemperature = 298.15;

// The derivative's window holds at least this many points on each side.
constexpr std::size_t kMinimumSide = 3;
// A transition's derivative peak stands this many noise deviations above the
// derivative's median, and above this many absorbance units per degree, which
// is below what the four-decimal readings can show across a run.
constexpr double kPeakNoiseRatio = 8.0;
constexpr double kPeakFloor = 1e-6;

// The logistic form of f = K / (1 + K), safe for any exponent.
double Logistic(double x) { return x >= 0 ? 1.0 / (1.0 + std::exp(-x)) : std::exp(x) / (1.0 + std::exp(x)); }

// x = ln K for temperatures in Celsius and dH in kJ/mol.
double LnK(double t, double tm, double dhKj) {
  return -(dhKj * 1000.0 / kGasConstant) * (1.0 / (t + kKelvin) - 1.0 / (tm + kKelvin));
}

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

double Median(std::vector<double> v) {
  const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

// Least-squares quadratic y = c0 + c1 u + c2 u^2 from running sums; callers
// keep u within about [-1, 1], so the normal equations are well conditioned.
struct Quadratic {
  double su[5] = {}, sy[3] = {}, syy = 0;
  double c[3] = {0, 0, 0};

  void Add(double u, double y) {
    const double u2 = u * u;
    su[0] += 1, su[1] += u, su[2] += u2, su[3] += u2 * u, su[4] += u2 * u2;
    sy[0] += y, sy[1] += u * y, sy[2] += u2 * y, syy += y * y;
  }
  bool Solve() {
    double normal[9] = {su[0], su[1], su[2], su[1], su[2], su[3], su[2], su[3], su[4]};
    double rhs[3] = {sy[0], sy[1], sy[2]};
    gsl_matrix_view a = gsl_matrix_view_array(normal, 3, 3);
    gsl_vector_view b = gsl_vector_view_array(rhs, 3);
    gsl_vector_view x = gsl_vector_view_array(c, 3);
    return gsl_linalg_cholesky_decomp1(&a.matrix) == GSL_SUCCESS &&
           gsl_linalg_cholesky_solve(&a.matrix, &b.vector, &x.vector) == GSL_SUCCESS;
  }
  double ResidualSquares() const { return std::max(0.0, syy - (c[0] * sy[0] + c[1] * sy[1] + c[2] * sy[2])); }
};

struct Derivative {
  std::vector<double> slope;
  double noise = 0;  // standard deviation of the readings about the local fits
};

// dA/dT by local quadratic least squares over +-halfWidth degrees (at least
// kMinimumSide points a side): on evenly spaced points this is the
// Savitzky-Golay derivative, and it stays right where spacing is uneven.
Derivative SmoothedDerivative(const std::vector<MeltPoint>& c, double halfWidth) {
  const std::size_t n = c.size();
  Derivative d;
  d.slope.resize(n);
  double chiSum = 0, dofSum = 0;
  std::size_t lo = 0, hi = 0;
  for (std::size_t i = 0; i < n; ++i) {
    while (c[i].temperature - c[lo].temperature > halfWidth && i - lo > kMinimumSide) ++lo;
    if (hi < i) hi = i;
    while (hi + 1 < n && (c[hi + 1].temperature - c[i].temperature <= halfWidth || hi - i < kMinimumSide)) ++hi;
    Quadratic q;
    for (std::size_t j = lo; j <= hi; ++j) q.Add((c[j].temperature - c[i].temperature) / halfWidth, c[j].absorbance);
    q.Solve();
    d.slope[i] = q.c[1] / halfWidth;
    chiSum += q.ResidualSquares();
    dofSum += static_cast<double>(hi - lo + 1) - 3.0;
  }
  d.noise = dofSum > 0 ? std::sqrt(chiSum / dofSum) : 0.0;
  return d;
}

struct Peak {
  std::size_t index = 0;
  double height = 0;  // above the median derivative, signed
  double width = 0;   // full width at half height, degrees
  bool inside = false;  // not on the edge of the searched points
};

// The derivative's extremum among the points a whole window away from both
// ends: at the ends the window is one-sided, its slope biased by the curve's
// bend and several times noisier, and would pass for a peak.
Peak FindPeak(const std::vector<MeltPoint>& c, const std::vector<double>& slope, double halfWidth) {
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
    if (std::abs(slope[i] - median) > std::abs(p.height)) {
      p.index = i;
      p.height = slope[i] - median;
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

// ---- two-state fit ----

struct FitData {
  const std::vector<MeltPoint>* points;
  double centre;  // baselines are fitted about the mean temperature to keep slope and offset apart
};

enum Param { kNativeOffset, kNativeSlope, kUnfoldedOffset, kUnfoldedSlope, kTm, kDh, kParams };

int Residuals(const gsl_vector* p, void* data, gsl_vector* f) {
  const auto& d = *static_cast<FitData*>(data);
  const double* q = p->data;
  for (std::size_t i = 0; i < d.points->size(); ++i) {
    const MeltPoint& pt = (*d.points)[i];
    const double u = pt.temperature - d.centre;
    const double native = q[kNativeOffset] + q[kNativeSlope] * u;
    const double unfolded = q[kUnfoldedOffset] + q[kUnfoldedSlope] * u;
    const double frac = Logistic(LnK(pt.temperature, q[kTm], q[kDh]));
    gsl_vector_set(f, i, native + (unfolded - native) * frac - pt.absorbance);
  }
  return GSL_SUCCESS;
}

int Jacobian(const gsl_vector* p, void* data, gsl_matrix* J) {
  const auto& d = *static_cast<FitData*>(data);
  const double* q = p->data;
  const double tmK = q[kTm] + kKelvin;
  for (std::size_t i = 0; i < d.points->size(); ++i) {
    const MeltPoint& pt = (*d.points)[i];
    const double u = pt.temperature - d.centre;
    const double step = (q[kUnfoldedOffset] + q[kUnfoldedSlope] * u) - (q[kNativeOffset] + q[kNativeSlope] * u);
    const double frac = Logistic(LnK(pt.temperature, q[kTm], q[kDh]));
    const double dfdx = step * frac * (1 - frac);
    gsl_matrix_set(J, i, kNativeOffset, 1 - frac);
    gsl_matrix_set(J, i, kNativeSlope, (1 - frac) * u);
    gsl_matrix_set(J, i, kUnfoldedOffset, frac);
    gsl_matrix_set(J, i, kUnfoldedSlope, frac * u);
    gsl_matrix_set(J, i, kTm, dfdx * -(q[kDh] * 1000.0 / kGasConstant) / (tmK * tmK));
    gsl_matrix_set(J, i, kDh, dfdx * -(1000.0 / kGasConstant) * (1.0 / (pt.temperature + kKelvin) - 1.0 / tmK));
  }
  return GSL_SUCCESS;
}

// Straight line through the points of `c` from index `from` for `count`, about `centre`.
void EndLine(const std::vector<MeltPoint>& c, std::size_t from, std::size_t count, double centre, double& offset,
             double& slope) {
  std::vector<double> t(count), a(count);
  for (std::size_t j = 0; j < count; ++j) {
    t[j] = c[from + j].temperature - centre;
    a[j] = c[from + j].absorbance;
  }
  double c00, c01, c11, sumsq;
  gsl_fit_linear(t.data(), 1, a.data(), 1, count, &offset, &slope, &c00, &c01, &c11, &sumsq);
}

// Starting values: lines through the lowest and highest sixth of the
// temperature span, Tm from the derivative, and dH from the height of the
// derivative peak, which is (U - N) dH / (4 R Tm^2) at Tm.
std::array<double, kParams> StartingValues(const std::vector<MeltPoint>& c, double centre, double tm, double peakSlope) {
  const double span = c.back().temperature - c.front().temperature;
  std::size_t low = 0, high = 0;
  while (low < c.size() && c[low].temperature <= c.front().temperature + span / 6) ++low;
  while (high < c.size() && c[c.size() - 1 - high].temperature >= c.back().temperature - span / 6) ++high;
  low = std::max(low, kMinimumSide);
  high = std::max(high, kMinimumSide);
  std::array<double, kParams> q{};
  EndLine(c, 0, low, centre, q[kNativeOffset], q[kNativeSlope]);
  EndLine(c, c.size() - high, high, centre, q[kUnfoldedOffset], q[kUnfoldedSlope]);
  q[kTm] = tm;
  const double u = tm - centre;
  const double step = (q[kUnfoldedOffset] + q[kUnfoldedSlope] * u) - (q[kNativeOffset] + q[kNativeSlope] * u);
  const double tmK = tm + kKelvin;
  const double excess = peakSlope - (q[kNativeSlope] + q[kUnfoldedSlope]) / 2;
  const double dh = step != 0 ? 4 * kGasConstant * tmK * tmK * excess / step / 1000.0 : 0.0;
  q[kDh] = (dh > 20 && dh < 2000) ? dh : 200.0;
  return q;
}

std::optional<MeltFit> FitTwoState(const std::vector<MeltPoint>& points, const std::vector<MeltPoint>& curve,
                                   double tm, double peakSlope) {
  const std::size_t n = points.size();
  if (n <= kParams + 2) return std::nullopt;
  FitData data{&points, 0};
  for (const MeltPoint& p : points) data.centre += p.temperature / static_cast<double>(n);
  std::array<double, kParams> start = StartingValues(curve, data.centre, tm, peakSlope);

  gsl_multifit_nlinear_fdf fdf{};
  fdf.f = Residuals;
  fdf.df = Jacobian;
  fdf.n = n;
  fdf.p = kParams;
  fdf.params = &data;
  gsl_multifit_nlinear_parameters settings = gsl_multifit_nlinear_default_parameters();
  std::unique_ptr<gsl_multifit_nlinear_workspace, decltype(&gsl_multifit_nlinear_free)> work(
      gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &settings, n, kParams), gsl_multifit_nlinear_free);
  gsl_vector_view x0 = gsl_vector_view_array(start.data(), kParams);
  if (gsl_multifit_nlinear_init(&x0.vector, &fdf, work.get()) != GSL_SUCCESS) return std::nullopt;
  int info = 0;
  if (gsl_multifit_nlinear_driver(200, 1e-10, 1e-10, 0.0, nullptr, nullptr, &info, work.get()) != GSL_SUCCESS)
    return std::nullopt;

  double q[kParams];
  std::copy_n(gsl_multifit_nlinear_position(work.get())->data, kParams, q);
  double chisq = 0;
  gsl_blas_ddot(gsl_multifit_nlinear_residual(work.get()), gsl_multifit_nlinear_residual(work.get()), &chisq);
  double cov[kParams * kParams];
  gsl_matrix_view covView = gsl_matrix_view_array(cov, kParams, kParams);
  gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(work.get()), 0.0, &covView.matrix);
  const double variance = chisq / static_cast<double>(n - kParams);

  MeltFit fit;
  fit.tm = q[kTm];
  fit.dh = q[kDh];
  fit.tmSe = std::sqrt(variance * cov[kTm * kParams + kTm]);
  fit.dhSe = std::sqrt(variance * cov[kDh * kParams + kDh]);
  fit.residualSd = std::sqrt(variance);
  fit.native = {q[kNativeSlope], q[kNativeOffset] - q[kNativeSlope] * data.centre};
  fit.unfolded = {q[kUnfoldedSlope], q[kUnfoldedOffset] - q[kUnfoldedSlope] * data.centre};
  // A negative dH with the baselines exchanged is the same curve.
  if (fit.dh < 0) {
    fit.dh = -fit.dh;
    std::swap(fit.native, fit.unfolded);
  }
  const double tmK = fit.tm + kKelvin;
  fit.ds = fit.dh * 1000.0 / tmK;
  fit.dg25 = fit.dh * (1 - kStandardTemperature / tmK);

  const double step = std::abs(fit.unfolded.At(fit.tm) - fit.native.At(fit.tm));
  const bool sound = std::isfinite(fit.tmSe) && std::isfinite(fit.dhSe) && fit.dh > 0 &&
                     fit.tm > curve.front().temperature && fit.tm < curve.back().temperature &&
                     step > 5 * fit.residualSd;
  if (!sound) return std::nullopt;
  return fit;
}

}  // namespace

double MeltFit::Fraction(double t) const { return Logistic(LnK(t, tm, dh)); }

double MeltFit::FractionOf(double t, double a) const {
  const double step = unfolded.At(t) - native.At(t);
  return step != 0 ? (a - native.At(t)) / step : 0.0;
}

const char* MeltOutcomeText(MeltOutcome outcome) {
  switch (outcome) {
    case MeltOutcome::TooFewPoints: return "too few points";
    case MeltOutcome::NoTransition: return "no transition in range";
    case MeltOutcome::Ok: break;
  }
  return "";
}

MeltResult AnalyseMelt(std::vector<MeltPoint> points, const MeltRange& range) {
  // GSL's failures must come back as status codes, never end the program.
  gsl_set_error_handler_off();
  std::erase_if(points, [&](const MeltPoint& p) {
    return !std::isfinite(p.temperature) || !std::isfinite(p.absorbance) ||
           (range.minimum && p.temperature < *range.minimum) || (range.maximum && p.temperature > *range.maximum);
  });
  MeltResult r;
  r.points = static_cast<int>(points.size());
  r.curve = SortedAveraged(points);
  const std::size_t n = r.curve.size();
  if (n < static_cast<std::size_t>(kMeltMinimumTemperatures)) {
    r.curve.clear();
    return r;
  }

  // A first pass with a window of a twenty-fifth of the span finds the
  // transition; the second fits the window to the transition's width, so a
  // dense run is smoothed over many points and a sparse one over a few.
  std::vector<double> gaps(n - 1);
  for (std::size_t i = 1; i < n; ++i) gaps[i - 1] = r.curve[i].temperature - r.curve[i - 1].temperature;
  const double spacing = Median(gaps);
  const double span = r.curve.back().temperature - r.curve.front().temperature;
  const double firstWidth = std::max(span / 25, kMinimumSide * spacing);
  const Peak rough = FindPeak(r.curve, SmoothedDerivative(r.curve, firstWidth).slope, firstWidth);
  const double halfWidth = std::clamp(rough.width / 2, kMinimumSide * spacing, std::max(span / 4, kMinimumSide * spacing));
  Derivative d = SmoothedDerivative(r.curve, halfWidth);
  const Peak peak = FindPeak(r.curve, d.slope, halfWidth);

  double spread = 0;  // noise of the derivative at the peak, from its window's leverage
  for (const MeltPoint& p : r.curve) {
    const double u = p.temperature - r.curve[peak.index].temperature;
    if (std::abs(u) <= halfWidth) spread += u * u;
  }
  const double slopeNoise = spread > 0 ? d.noise / std::sqrt(spread) : 0.0;
  r.derivative = std::move(d.slope);
  r.outcome = MeltOutcome::NoTransition;
  if (!peak.inside) return r;
  if (std::abs(peak.height) <= kPeakNoiseRatio * slopeNoise || std::abs(peak.height) <= kPeakFloor) return r;

  r.outcome = MeltOutcome::Ok;
  r.tmDerivative = RefinedPeak(r.curve, r.derivative, peak.index, halfWidth);
  r.fit = FitTwoState(points, r.curve, *r.tmDerivative, r.derivative[peak.index]);
  return r;
}

}  // namespace vireo
