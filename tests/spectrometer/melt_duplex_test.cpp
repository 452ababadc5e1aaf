// The bimolecular melting models: their closed forms against the equilibrium
// solved numerically, and fits and concentration series of curves made from
// that numerical equilibrium with known dH, dS and Ct.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "spectrometer/melt_curves.h"
#include "spectrometer/melt_set.h"

namespace vireo {
namespace {

using testing::Curve;
using testing::Duplex;

constexpr MeltModel kModels[] = {MeltModel::Unimolecular, MeltModel::Heteroduplex, MeltModel::Homoduplex};

// Melting dH (kJ/mol) and dS (J/(mol K)) of each model's test curves: a
// 12-mer duplex, a self-complementary one, a hairpin (Tm 55 C).
Duplex Truth(MeltModel model, double ct) {
  switch (model) {
    case MeltModel::Heteroduplex: return {model, 350, 1000, ct};
    case MeltModel::Homoduplex: return {model, 250, 700, ct};
    case MeltModel::Unimolecular: break;
  }
  return {model, 250, 250000 / (55 + 273.15), ct};
}

// The curves' concentration series, micromolar.
constexpr double kSeries[] = {2, 3.5, 6, 10, 17, 30, 50, 80, 120};

TEST(MeltModels, ClosedFormsAgreeWithTheNumericalEquilibrium) {
  for (MeltModel model : kModels) {
    for (double ct : {0.5, 2.0, 120.0, 5000.0}) {
      for (double lnK : {-5.0, 5.0, 10.0, 13.0, 16.0, 25.0}) {
        SCOPED_TRACE(::testing::Message() << MeltModelName(model) << " Ct " << ct << " ln K " << lnK);
        const double lnA = lnK + LnConcentrationFactor(model, ct);
        const double theta = FoldedFraction(model, lnA);
        EXPECT_NEAR(theta, testing::FoldedByBisection(model, std::exp(lnK), ct * 1e-6), 1e-9);
        if (theta > 1e-12 && theta < 1 - 1e-12) {
          EXPECT_NEAR(LnAOfFolded(model, theta), lnA, 1e-6 * (1 + std::abs(lnA)));
        }
      }
    }
  }
}

TEST(MeltModels, TmAndEntropyAgreeWithTheNumericalEquilibrium) {
  for (MeltModel model : kModels) {
    for (double ct : {2.0, 120.0}) {
      const Duplex d = Truth(model, ct);
      SCOPED_TRACE(::testing::Message() << MeltModelName(model) << " Ct " << ct);
      const double lnC = LnConcentrationFactor(model, ct);
      const double tm = TmFromEntropy(model, d.dh, d.ds, lnC);
      EXPECT_NEAR(tm, d.Tm(), 1e-6);
      EXPECT_NEAR(EntropyFromTm(model, d.dh, tm, lnC), d.ds, 1e-6);
      // The 10 % and 90 % points from the closed form, read off the numerical curve.
      for (double unfolded : {0.1, 0.9}) EXPECT_NEAR(d.Unfolded(TemperatureAtUnfolded(model, d.dh, tm, unfolded)), unfolded, 1e-6);
    }
  }
}

// Every model, 5 to 95 degrees in 0.5-degree steps, noise 0.002 and sloped
// baselines, across 2 to 120 micromolar: Tm within 0.2 degrees, dH within 3 %.
TEST(MeltAccuracy, RecoversEachModelAcrossTheConcentrationSeries) {
  unsigned seed = 300;
  std::printf("model         worst |Tm error| (C)  worst dH error (%%)  worst dS error (%%)\n");
  for (MeltModel model : kModels) {
    double worstTm = 0, worstDh = 0, worstDs = 0;
    for (double ct : kSeries) {
      const Duplex truth = Truth(model, ct);
      SCOPED_TRACE(::testing::Message() << MeltModelName(model) << " Ct " << ct);
      const MeltResult r = AnalyseMelt(Curve(truth, 5, 95, 0.5, 0.002, seed++), {}, model, ct);
      ASSERT_EQ(r.outcome, MeltOutcome::Ok);
      ASSERT_TRUE(r.fit);
      const MeltFit& f = *r.fit;
      EXPECT_NEAR(f.tm, truth.Tm(), 0.2);
      EXPECT_NEAR(f.dh, truth.dh, 0.03 * truth.dh);
      EXPECT_LT(std::abs(f.dh - truth.dh), 4 * f.dhSe);
      EXPECT_LT(std::abs(f.ds - truth.ds), 4 * f.dsSe);
      EXPECT_NEAR(f.dg37, truth.dh - 310.15 * truth.ds / 1000, 4 * f.dg37Se);
      EXPECT_TRUE(f.complete);
      worstTm = std::max(worstTm, std::abs(f.tm - truth.Tm()));
      worstDh = std::max(worstDh, std::abs(f.dh - truth.dh) / truth.dh);
      worstDs = std::max(worstDs, std::abs(f.ds - truth.ds) / truth.ds);
    }
    std::printf("%-13s %10.3f %20.2f %20.2f\n", MeltModelName(model), worstTm, 100 * worstDh, 100 * worstDs);
  }
}

std::vector<MeltCell> SeriesCells(MeltModel model, unsigned seed) {
  std::vector<MeltCell> cells;
  for (double ct : kSeries) {
    cells.push_back({static_cast<int>(cells.size()) + 1, Curve(Truth(model, ct), 5, 95, 0.5, 0.002, seed++), ct});
  }
  return cells;
}

// The three methods of a nine-cell series agree with the truth and each other.
TEST(MeltSeries, ThreeMethodsRecoverDhAndDs) {
  std::printf("model         method        dH error (%%)  dS error (%%)  dG37 error (kJ/mol)\n");
  for (MeltModel model : {MeltModel::Heteroduplex, MeltModel::Homoduplex}) {
    const MeltSetResult set = AnalyseMeltSet(SeriesCells(model, 400), {model, {}});
    const Duplex truth = Truth(model, 1);
    ASSERT_TRUE(set.series) << MeltModelName(model);
    const MeltSeries& s = *set.series;
    EXPECT_EQ(s.cells, 9);
    EXPECT_GT(s.r2, 0.99);
    ASSERT_TRUE(s.global);
    const std::pair<const char*, MeltMethod> methods[] = {
        {"individual", s.individual}, {"tm_vs_ln_ct", s.tmVsLnCt}, {"global", *s.global}};
    for (const auto& [name, m] : methods) {
      SCOPED_TRACE(::testing::Message() << MeltModelName(model) << " " << name);
      const double dg37 = truth.dh - 310.15 * truth.ds / 1000;
      EXPECT_NEAR(m.dh, truth.dh, 0.03 * truth.dh);
      EXPECT_NEAR(m.ds, truth.ds, 0.03 * truth.ds);
      EXPECT_LT(std::abs(m.dh - truth.dh), 4 * m.dhSe + 1e-9);
      EXPECT_LT(std::abs(m.dg37 - dg37), 4 * m.dg37Se + 1e-9);
      std::printf("%-13s %-12s %12.2f %13.2f %16.3f\n", MeltModelName(model), name, 100 * (m.dh / truth.dh - 1),
                  100 * (m.ds / truth.ds - 1), m.dg37 - dg37);
    }
    EXPECT_LT(s.dhSpreadPercent, 3.0);
  }
}

// No series without a duplex model, with fewer than three distinct
// concentrations, or from transitions incomplete; a duplex cell without a
// concentration gives no fit.
TEST(MeltSeries, NeedsADuplexModelAndThreeConcentrations) {
  std::vector<MeltCell> cells = SeriesCells(MeltModel::Heteroduplex, 500);
  cells.resize(4);
  EXPECT_TRUE(AnalyseMeltSet(cells, {MeltModel::Heteroduplex, {}}).series);
  EXPECT_FALSE(AnalyseMeltSet(cells, {MeltModel::Unimolecular, {}}).series);
  const MeltSetResult cut = AnalyseMeltSet(cells, {MeltModel::Heteroduplex, {std::nullopt, 50.0}});
  int fitted = 0, complete = 0;
  for (const MeltRow& row : cut.rows) {
    fitted += row.result.fit.has_value();
    complete += row.result.fit && row.result.fit->complete;
  }
  EXPECT_GE(fitted, 3);
  EXPECT_LT(complete, 3);
  EXPECT_FALSE(cut.series);
  cells[2].ct = cells[3].ct = cells[1].ct;
  EXPECT_FALSE(AnalyseMeltSet(cells, {MeltModel::Heteroduplex, {}}).series);
  cells[3].ct.reset();
  const MeltSetResult set = AnalyseMeltSet(cells, {MeltModel::Heteroduplex, {}});
  EXPECT_EQ(set.rows[3].result.outcome, MeltOutcome::NoConcentration);
  EXPECT_FALSE(set.rows[3].result.fit);
  EXPECT_TRUE(set.rows[3].result.tmDerivative);
}

}  // namespace
}  // namespace vireo
