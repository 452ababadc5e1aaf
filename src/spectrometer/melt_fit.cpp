#include "spectrometer/melt_fit.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>

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

// Residuals and, when J is given, the Jacobian.
int Evaluate(const gsl_vector* x, void* data, gsl_vector* f, gsl_matrix* J) {
  const auto& pr = *static_cast<Problem*>(data);
  const double* q = x->data;
  std::size_t row = 0;
  for (std::size_t c = 0; c < pr.cells->size(); ++c) {
    const FitCell& cell = (*pr.cells)[c];
    const double* b = q + kThermo + kPerCell * c;
    const std::size_t column = kThermo + kPerCell * c;
    for (const MeltPoint& pt : *cell.points) {
      const double u = pt.temperature - pr.centres[c];
      const double native = b[kNativeOffset] + b[kNativeSlope] * u;
      const double unfolded = b[kUnfoldedOffset] + b[kUnfoldedSlope] * u;
      double lnA, d0, d1;
      LnA(pr, cell.lnC, pt.temperature, q, lnA, d0, d1);
      const double theta = FoldedFraction(pr.model, lnA);
      const double frac = 1 - theta;
      if (f) gsl_vector_set(f, row, native + (unfolded - native) * frac - pt.absorbance);
      if (J) {
        for (std::size_t k = kThermo; k < J->size2; ++k) gsl_matrix_set(J, row, k, 0.0);
        const double dA = -(unfolded - native) * FoldedSlope(pr.model, theta);
        gsl_matrix_set(J, row, 0, dA * d0);
        gsl_matrix_set(J, row, 1, dA * d1);
        gsl_matrix_set(J, row, column + kNativeOffset, 1 - frac);
        gsl_matrix_set(J, row, column + kNativeSlope, (1 - frac) * u);
        gsl_matrix_set(J, row, column + kUnfoldedOffset, frac);
        gsl_matrix_set(J, row, column + kUnfoldedSlope, frac * u);
      }
      ++row;
    }
  }
  return GSL_SUCCESS;
}

int Residuals(const gsl_vector* x, void* data, gsl_vector* f) { return Evaluate(x, data, f, nullptr); }
int Jacobian(const gsl_vector* x, void* data, gsl_matrix* J) { return Evaluate(x, data, nullptr, J); }

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

  gsl_multifit_nlinear_fdf fdf{};
  fdf.f = Residuals;
  fdf.df = Jacobian;
  fdf.n = n;
  fdf.p = p;
  fdf.params = &pr;
  gsl_multifit_nlinear_parameters settings = gsl_multifit_nlinear_default_parameters();
  // Normal equations: the Jacobian is tall and thin, and QR of it would
  // cost a global fit of a long series most of its time.
  settings.solver = gsl_multifit_nlinear_solver_cholesky;
  std::unique_ptr<gsl_multifit_nlinear_workspace, decltype(&gsl_multifit_nlinear_free)> work(
      gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &settings, n, p), gsl_multifit_nlinear_free);
  if (!work) return std::nullopt;
  gsl_vector_view x0 = gsl_vector_view_array(x.data(), p);
  if (gsl_multifit_nlinear_init(&x0.vector, &fdf, work.get()) != GSL_SUCCESS) return std::nullopt;
  int info = 0;
  if (gsl_multifit_nlinear_driver(200, 1e-10, 1e-10, 0.0, nullptr, nullptr, &info, work.get()) != GSL_SUCCESS)
    return std::nullopt;

  const gsl_vector* q = gsl_multifit_nlinear_position(work.get());
  double chisq = 0;
  gsl_blas_ddot(gsl_multifit_nlinear_residual(work.get()), gsl_multifit_nlinear_residual(work.get()), &chisq);
  std::unique_ptr<gsl_matrix, decltype(&gsl_matrix_free)> cov(gsl_matrix_alloc(p, p), gsl_matrix_free);
  if (gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(work.get()), 0.0, cov.get()) != GSL_SUCCESS)
    return std::nullopt;
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
