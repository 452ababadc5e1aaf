#include "spectrometer/melt_series.h"

#include <gsl/gsl_fit.h>
#include <gsl/gsl_statistics_double.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace vireo {
namespace {

// ln(c a_m / Ct): the constant between the model's ln a at Tm and ln Ct.
double LnCtOffset(MeltModel model) { return LnConcentrationFactor(model, 1e6) - LnAAtTm(model); }

MeltMethod Averaged(const std::vector<MeltSeriesMember>& members) {
  std::vector<double> v[3];
  for (const MeltSeriesMember& c : members) {
    v[0].push_back(c.result->fit->dh);
    v[1].push_back(c.result->fit->ds);
    v[2].push_back(c.result->fit->dg37);
  }
  double mean[3], se[3];
  for (int k = 0; k < 3; ++k) {
    mean[k] = gsl_stats_mean(v[k].data(), 1, v[k].size());
    se[k] = gsl_stats_sd_m(v[k].data(), 1, v[k].size(), mean[k]) / std::sqrt(static_cast<double>(v[k].size()));
  }
  return {mean[0], se[0], mean[1], se[1], mean[2], se[2]};
}

// dH = -R / (1000 m), dS = 1000 dH b + R ln(c a_m / Ct), from the line's slope m and
// intercept b and their covariance.
MeltMethod FromLine(MeltModel model, double m, double b, double vm, double vb, double cmb) {
  const double k = LnCtOffset(model);
  ThermoFit line;  // (m, b) with their covariance, to propagate the errors
  line.covariance[0][0] = vm, line.covariance[1][1] = vb, line.covariance[0][1] = line.covariance[1][0] = cmb;
  MeltMethod r;
  r.dh = -kGasConstant / (1000 * m);
  const double dhDm = kGasConstant / (1000 * m * m);
  r.dhSe = PropagatedSe(line, dhDm, 0);
  r.ds = 1000 * r.dh * b + kGasConstant * k;
  const double dsDm = 1000 * dhDm * b, dsDb = 1000 * r.dh;
  r.dsSe = PropagatedSe(line, dsDm, dsDb);
  r.dg37 = r.dh - kT37 * r.ds / 1000;
  r.dg37Se = PropagatedSe(line, dhDm - kT37 * dsDm / 1000, -kT37 * dsDb / 1000);
  return r;
}

MeltMethod FromThermo(const ThermoFit& fit) {
  MeltMethod r;
  r.dh = fit.p[0];
  r.ds = fit.p[1];
  r.dhSe = PropagatedSe(fit, 1, 0);
  r.dsSe = PropagatedSe(fit, 0, 1);
  r.dg37 = r.dh - kT37 * r.ds / 1000;
  r.dg37Se = PropagatedSe(fit, 1, -kT37 / 1000);
  return r;
}

}  // namespace

std::optional<MeltSeries> AnalyseMeltSeries(MeltModel model, const std::vector<MeltSeriesMember>& all) {
  if (!IsDuplex(model)) return std::nullopt;
  std::vector<MeltSeriesMember> members;
  std::set<double> distinct;
  for (const MeltSeriesMember& c : all) {
    if (c.ct > 0 && c.result && c.result->fit && c.result->fit->model == model && c.result->fit->complete) {
      members.push_back(c);
      distinct.insert(c.ct);
    }
  }
  if (static_cast<int>(distinct.size()) < kMeltSeriesMinimum) return std::nullopt;

  MeltSeries s;
  s.cells = static_cast<int>(members.size());
  s.individual = Averaged(members);

  std::vector<double> x, y;
  for (const MeltSeriesMember& c : members) {
    const double tmK = c.result->fit->tm + kKelvin;
    s.points.push_back({std::log(c.ct * 1e-6), 1 / tmK, c.result->fit->tmSe / (tmK * tmK)});
    x.push_back(s.points.back().lnCt);
    y.push_back(s.points.back().inverseTm);
  }
  double c00, c01, c11, sumsq;
  gsl_fit_linear(x.data(), 1, y.data(), 1, x.size(), &s.intercept, &s.slope, &c00, &c01, &c11, &sumsq);
  const double total = gsl_stats_tss(y.data(), 1, y.size());
  s.r2 = total > 0 ? 1 - sumsq / total : 0.0;
  s.tmVsLnCt = FromLine(model, s.slope, s.intercept, c11, c00, c01);

  // The global fit starts from the line's dH and dS and each cell's own baselines.
  std::vector<FitCell> cells;
  for (const MeltSeriesMember& c : members) {
    cells.push_back({&c.result->readings, LnConcentrationFactor(model, c.ct), c.result->fit->native,
                     c.result->fit->unfolded});
  }
  const bool lineSound = std::isfinite(s.tmVsLnCt.dh) && s.tmVsLnCt.dh > 0;
  if (const auto global = FitThermo(model, ThermoForm::DhDs, cells, lineSound ? s.tmVsLnCt.dh : s.individual.dh,
                                    lineSound ? s.tmVsLnCt.ds : s.individual.ds)) {
    s.global = FromThermo(*global);
  }

  std::vector<double> dh{s.individual.dh, s.tmVsLnCt.dh};
  if (s.global) dh.push_back(s.global->dh);
  const double mean = gsl_stats_mean(dh.data(), 1, dh.size());
  const auto [lo, hi] = std::minmax_element(dh.begin(), dh.end());
  s.dhSpreadPercent = mean != 0 ? 100 * (*hi - *lo) / std::abs(mean) : 0.0;
  return s;
}

}  // namespace vireo
