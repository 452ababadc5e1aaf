#include "spectrometer/melt_robust.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_linalg.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vireo {
namespace {

// Neighbours a side for the leave-one-out quadratic.
constexpr std::size_t kSide = 3;
// A reading this many robust deviations from its neighbours' quadratic is
// wild: Gaussian noise reaches it about once in 10^11 readings.
constexpr double kOutlierRatio = 7.0;
// At most this share of the readings is left out; beyond it the curve is
// noisy rather than spoilt by a few readings.
constexpr std::size_t kMaxShare = 50;

// The residual of reading i from the quadratic through up to kSide kept
// neighbours a side, divided by its standard deviation over the noise's.
std::optional<double> Standardised(const std::vector<MeltPoint>& c, const std::vector<char>& kept, std::size_t i) {
  std::size_t picked[2 * kSide];
  std::size_t count = 0;
  for (std::size_t j = i, k = 0; j > 0 && k < kSide; ) {
    if (kept[--j]) picked[count++] = j, ++k;
  }
  for (std::size_t j = i + 1, k = 0; j < c.size() && k < kSide; ++j) {
    if (kept[j]) picked[count++] = j, ++k;
  }
  if (count < 4) return std::nullopt;
  double scale = 0;
  for (std::size_t k = 0; k < count; ++k) scale = std::max(scale, std::abs(c[picked[k]].temperature - c[i].temperature));
  Quadratic q;
  for (std::size_t k = 0; k < count; ++k) q.Add((c[picked[k]].temperature - c[i].temperature) / scale, c[picked[k]].absorbance);
  if (!q.Solve()) return std::nullopt;
  return (c[i].absorbance - q.c[0]) / std::sqrt(1 + q.varianceAtZero);
}

}  // namespace

double Median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

double RobustSigma(const std::vector<double>& values) {
  const double centre = Median(values);
  std::vector<double> deviations(values.size());
  std::transform(values.begin(), values.end(), deviations.begin(), [&](double v) { return std::abs(v - centre); });
  return 1.4826 * Median(std::move(deviations));
}

void Quadratic::Add(double u, double y) {
  const double u2 = u * u;
  su[0] += 1, su[1] += u, su[2] += u2, su[3] += u2 * u, su[4] += u2 * u2;
  sy[0] += y, sy[1] += u * y, sy[2] += u2 * y;
}

bool Quadratic::Solve() {
  double normal[9] = {su[0], su[1], su[2], su[1], su[2], su[3], su[2], su[3], su[4]};
  double rhs[3] = {sy[0], sy[1], sy[2]};
  double unit[3] = {1, 0, 0}, inverse[3];
  gsl_matrix_view a = gsl_matrix_view_array(normal, 3, 3);
  gsl_vector_view b = gsl_vector_view_array(rhs, 3);
  gsl_vector_view x = gsl_vector_view_array(c, 3);
  gsl_vector_view e = gsl_vector_view_array(unit, 3);
  gsl_vector_view v = gsl_vector_view_array(inverse, 3);
  const bool solved = gsl_linalg_cholesky_decomp1(&a.matrix) == GSL_SUCCESS &&
                      gsl_linalg_cholesky_solve(&a.matrix, &b.vector, &x.vector) == GSL_SUCCESS &&
                      gsl_linalg_cholesky_solve(&a.matrix, &e.vector, &v.vector) == GSL_SUCCESS;
  varianceAtZero = solved ? inverse[0] : 0.0;
  return solved;
}

Outliers IsolatedOutliers(const std::vector<MeltPoint>& c) {
  Outliers out;
  const std::size_t n = c.size();
  std::vector<char> kept(n, 1);
  std::vector<double> z(n, 0.0);
  std::vector<double> valid;
  for (std::size_t i = 0; i < n; ++i) {
    if (const auto s = Standardised(c, kept, i)) z[i] = *s, valid.push_back(*s);
  }
  out.noise = RobustSigma(valid);
  if (out.noise <= 0) return out;
  const double limit = kOutlierRatio * out.noise;
  // Worst first; each one left out is judged again with its neighbours' new fits.
  for (std::size_t round = 0; round <= n / kMaxShare; ++round) {
    std::size_t worst = n;
    for (std::size_t i = 0; i < n; ++i) {
      if (kept[i] && std::abs(z[i]) > limit && (worst == n || std::abs(z[i]) > std::abs(z[worst]))) worst = i;
    }
    if (worst == n) break;
    kept[worst] = 0;
    bool isolated = true;
    for (std::size_t j = worst >= kSide ? worst - kSide : 0; j < std::min(n, worst + kSide + 1); ++j) {
      if (!kept[j]) continue;
      const auto s = Standardised(c, kept, j);
      z[j] = s ? *s : 0.0;
      if (std::abs(z[j]) > limit) isolated = false;
    }
    if (!isolated) break;
    out.indices.push_back(worst);
  }
  std::sort(out.indices.begin(), out.indices.end());
  return out;
}

}  // namespace vireo
