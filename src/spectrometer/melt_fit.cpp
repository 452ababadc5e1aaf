#include "spectrometer/melt_fit.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multilarge_nlinear.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vireo {
namespace {

constexpr std::size_t kThermo = 2, kPerCell = 4;
enum Baseline { kNativeOffset, kNativeSlope, kUnfoldedOffset, kUnfoldedSlope };

struct Problem {
  MeltModel model;
  ThermoForm form;
  const std::vector<FitCell>* cells;
  std::vector<double> centres;  // baselines are fitted about each cell's mean temperature to keep slope and offset apart
};

// ln a at t and its derivatives by p0 and p1.
void LnA(const Problem& pr, double lnC, double t, const double* q, double& lnA, double& d0, double& d1) {
  const double tK = t + kKelvin;
  if (pr.form == ThermoForm::DhTm) {
    const double tmK = q[1] + kKelvin;
    lnA = LnAFromTm(pr.model, t, q[0], q[1]);
    d0 = (1000 / kGasConstant) * (1 / tK - 1 / tmK);
    d1 = q[0] * 1000 / kGasConstant / (tmK * tmK);
  } else {
    lnA = q[0] * 1000 / (kGasConstant * tK) - q[1] / kGasConstant + lnC;
    d0 = 1000 / (kGasConstant * tK);
    d1 = -1 / kGasConstant;
  }
}

// Calls visit(row, residual, columns, values) for every reading: each row
// of the Jacobian has six entries, the two shared parameters and the four
// of its cell's baselines.
template <class Visit>
void ForEachRow(const Problem& pr, const double* q, Visit visit) {
  std::size_t row = 0;
  for (std::size_t c = 0; c < pr.cells->size(); ++c) {
    const FitCell& cell = (*pr.cells)[c];
    const double* b = q + kThermo + kPerCell * c;
    const std::size_t base = kThermo + kPerCell * c;
    const std::size_t columns[6] = {0, 1, base + kNativeOffset, base + kNativeSlope, base + kUnfoldedOffset,
                                    base + kUnfoldedSlope};
    for (const MeltPoint& pt : *cell.points) {
      const double u = pt.temperature - pr.centres[c];
      const double native = b[kNativeOffset] + b[kNativeSlope] * u;
      const double unfolded = b[kUnfoldedOffset] + b[kUnfoldedSlope] * u;
      double lnA, d0, d1;
      LnA(pr, cell.lnC, pt.temperature, q, lnA, d0, d1);
      const double theta = FoldedFraction(pr.model, lnA);
      const double frac = 1 - theta;
      const double dA = -(unfolded - native) * FoldedSlope(pr.model, theta);
      const double values[6] = {dA * d0, dA * d1, 1 - frac, (1 - frac) * u, frac, frac * u};
      visit(row++, native + (unfolded - native) * frac - pt.absorbance, columns, values);
    }
  }
}

int Residuals(const gsl_vector* x, void* data, gsl_vector* f) {
  ForEachRow(*static_cast<Problem*>(data), x->data,
             [&](std::size_t row, double r, const std::size_t*, const double*) { gsl_vector_set(f, row, r); });
  return GSL_SUCCESS;
}

// J u or J^T u into v, and J^T J when asked for, from the rows' six entries
// each: the Jacobian of a long series is mostly zeros and is never formed.
int JacobianProducts(CBLAS_TRANSPOSE_t trans, const gsl_vector* x, const gsl_vector* u, void* data, gsl_vector* v,
                     gsl_matrix* jtj) {
  if (v && trans == CblasTrans) gsl_vector_set_zero(v);
  if (jtj) gsl_matrix_set_zero(jtj);
  ForEachRow(*static_cast<Problem*>(data), x->data,
             [&](std::size_t row, double, const std::size_t* col, const double* val) {
               if (u && v) {
                 if (trans == CblasTrans) {
                   const double ur = gsl_vector_get(u, row);
                   for (int k = 0; k < 6; ++k) *gsl_vector_ptr(v, col[k]) += val[k] * ur;
                 } else {
                   double sum = 0;
                   for (int k = 0; k < 6; ++k) sum += val[k] * gsl_vector_get(u, col[k]);
                   gsl_vector_set(v, row, sum);
                 }
               }
               if (jtj) {  // the lower triangle, which the solver reads: the columns ascend
                 for (int i = 0; i < 6; ++i) {
                   for (int k = 0; k <= i; ++k) *gsl_matrix_ptr(jtj, col[i], col[k]) += val[i] * val[k];
                 }
               }
             });
  return GSL_SUCCESS;
}

}  // namespace

std::optional<ThermoFit> FitThermo(MeltModel model, ThermoForm form, std::vector<FitCell>& cells, double p0, double p1) {
  gsl_set_error_handler_off();
  Problem pr{model, form, &cells, {}};
  const std::size_t p = kThermo + kPerCell * cells.size();
  std::size_t n = 0;
  std::vector<double> x(p);
  x[0] = p0;
  x[1] = p1;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::vector<MeltPoint>& pts = *cells[c].points;
    double centre = 0;
    for (const MeltPoint& pt : pts) centre += pt.temperature / static_cast<double>(pts.size());
    pr.centres.push_back(centre);
    n += pts.size();
    double* b = x.data() + kThermo + kPerCell * c;
    b[kNativeOffset] = cells[c].native.At(centre);
    b[kNativeSlope] = cells[c].native.slope;
    b[kUnfoldedOffset] = cells[c].unfolded.At(centre);
    b[kUnfoldedSlope] = cells[c].unfolded.slope;
  }
  if (n <= p + 2) return std::nullopt;

  gsl_multilarge_nlinear_fdf fdf{};
  fdf.f = Residuals;
  fdf.df = JacobianProducts;
  fdf.n = n;
  fdf.p = p;
  fdf.params = &pr;
  gsl_multilarge_nlinear_parameters settings = gsl_multilarge_nlinear_default_parameters();
  std::unique_ptr<gsl_multilarge_nlinear_workspace, decltype(&gsl_multilarge_nlinear_free)> work(
      gsl_multilarge_nlinear_alloc(gsl_multilarge_nlinear_trust, &settings, n, p), gsl_multilarge_nlinear_free);
  if (!work) return std::nullopt;
  gsl_vector_view x0 = gsl_vector_view_array(x.data(), p);
  if (gsl_multilarge_nlinear_init(&x0.vector, &fdf, work.get()) != GSL_SUCCESS) return std::nullopt;
  int info = 0;
  if (gsl_multilarge_nlinear_driver(200, 1e-10, 1e-10, 0.0, nullptr, nullptr, &info, work.get()) != GSL_SUCCESS)
    return std::nullopt;

  const gsl_vector* q = gsl_multilarge_nlinear_position(work.get());
  double chisq = 0;
  gsl_blas_ddot(gsl_multilarge_nlinear_residual(work.get()), gsl_multilarge_nlinear_residual(work.get()), &chisq);
  std::unique_ptr<gsl_matrix, decltype(&gsl_matrix_free)> cov(gsl_matrix_alloc(p, p), gsl_matrix_free);
  if (gsl_multilarge_nlinear_covar(cov.get(), work.get()) != GSL_SUCCESS) return std::nullopt;
  const double variance = chisq / static_cast<double>(n - p);

  ThermoFit fit;
  for (std::size_t i = 0; i < kThermo; ++i) {
    fit.p[i] = gsl_vector_get(q, i);
    for (std::size_t j = 0; j < kThermo; ++j) fit.covariance[i][j] = variance * gsl_matrix_get(cov.get(), i, j);
  }
  fit.residualSd = std::sqrt(variance);
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const double* b = q->data + kThermo + kPerCell * c;
    cells[c].native = {b[kNativeSlope], b[kNativeOffset] - b[kNativeSlope] * pr.centres[c]};
    cells[c].unfolded = {b[kUnfoldedSlope], b[kUnfoldedOffset] - b[kUnfoldedSlope] * pr.centres[c]};
  }
  if (!std::isfinite(fit.covariance[0][0]) || !std::isfinite(fit.covariance[1][1])) return std::nullopt;
  return fit;
}

double PropagatedSe(const ThermoFit& fit, double g0, double g1) {
  const double v = g0 * g0 * fit.covariance[0][0] + 2 * g0 * g1 * fit.covariance[0][1] + g1 * g1 * fit.covariance[1][1];
  return std::sqrt(std::max(0.0, v));
}

}  // namespace vireo
