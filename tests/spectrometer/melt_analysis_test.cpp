// The melting analysis on synthetic curves with known parameters.
#include "spectrometer/melt_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "sim/spectrometer_model.h"
#include "spectrometer/melt_curves.h"
#include "spectrometer/melt_report.h"

namespace vireo {
namespace {

using testing::Curve;
using testing::TwoState;

struct Worst {
  double fitTm = 0, derivativeTm = 0, dh = 0;
};

// 20 to 90 degrees, Gaussian noise of 0.002; rising (hyperchromic) and
// falling (mirrored) curves; the 0.5-degree steps and a dense ramp of 2,000
// points, where the derivative's window must widen to the point density.
TEST(MeltAccuracy, RecoversTmAndDhAcrossTheGrid) {
  Worst worst;
  unsigned seed = 1;
  for (double step : {0.5, 70.0 / 1999}) {
    for (bool rising : {true, false}) {
      for (double dh : {150.0, 250.0, 400.0}) {
        for (double tm : {40.0, 52.5, 63.0, 75.0}) {
          TwoState truth{tm, dh};
          if (!rising) truth = testing::Mirrored(truth);
          const MeltResult r = AnalyseMelt(Curve(truth, 20, 90, step, 0.002, seed++));
          SCOPED_TRACE(::testing::Message() << "step " << step << " rising " << rising << " dH " << dh << " Tm " << tm);
          ASSERT_EQ(r.outcome, MeltOutcome::Ok);
          ASSERT_TRUE(r.tmDerivative && r.fit);
          const MeltFit& f = *r.fit;
          const double tmK = tm + 273.15;
          EXPECT_NEAR(f.tm, tm, 0.5);
          EXPECT_NEAR(f.dh, dh, 0.05 * dh);
          EXPECT_NEAR(*r.tmDerivative, tm, 1.0);
          EXPECT_NEAR(f.ds, dh * 1000 / tmK, 0.05 * dh * 1000 / tmK);
          EXPECT_NEAR(f.dg25, dh * (1 - 298.15 / tmK), 0.05 * dh * (1 - 298.15 / tmK) + 1.0);
          // The standard errors are those of this noise: the true values lie
          // within a few of them, and they are small.
          EXPECT_LT(std::abs(f.tm - tm), 4 * f.tmSe);
          EXPECT_LT(std::abs(f.dh - dh), 4 * f.dhSe);
          EXPECT_LT(f.tmSe, 1.0);
          EXPECT_NEAR(f.residualSd, 0.002, 0.0004);
          EXPECT_EQ(r.points, static_cast<int>(std::lround(70 / step)) + 1);
          worst.fitTm = std::max(worst.fitTm, std::abs(f.tm - tm));
          worst.derivativeTm = std::max(worst.derivativeTm, std::abs(*r.tmDerivative - tm));
          worst.dh = std::max(worst.dh, std::abs(f.dh - dh) / dh);
        }
      }
    }
  }
  std::printf("worst errors: fitted Tm %.3f C, derivative Tm %.3f C, dH %.2f %%\n", worst.fitTm, worst.derivativeTm,
              100 * worst.dh);
}

// A melt recorded from the simulated spectrophotometer gives back the
// melting temperature and enthalpy it was set up with.
TEST(MeltAccuracy, FindsTheSimulatedInstrumentsMelt) {
  for (double tm : {45.0, 62.0}) {
    sim::SpectrometerModel instrument({tm, 250.0});
    std::vector<MeltPoint> points = Curve({tm, 250, 0, 0, 0, 0}, 20, 90, 0.5, 0.002, 30);
    for (MeltPoint& p : points) p.absorbance += instrument.Absorbance(p.temperature, 550.0);
    const MeltResult r = AnalyseMelt(points);
    ASSERT_TRUE(r.fit) << tm;
    EXPECT_NEAR(r.fit->tm, tm, 0.5);
    EXPECT_NEAR(r.fit->dh, 250, 12.5);
  }
}

// Readings repeated at one temperature (a slow ramp between reports) count
// as points but are averaged for the derivative.
TEST(MeltAccuracy, AveragesRepeatedTemperatures) {
  std::vector<MeltPoint> points;
  for (unsigned copy = 0; copy < 3; ++copy) {
    for (const MeltPoint& p : Curve({55, 300}, 20, 90, 0.5, 0.002, 100 + copy)) points.push_back(p);
  }
  const MeltResult r = AnalyseMelt(points);
  EXPECT_EQ(r.points, 423);
  EXPECT_EQ(r.curve.size(), 141u);
  ASSERT_TRUE(r.fit && r.tmDerivative);
  EXPECT_NEAR(r.fit->tm, 55, 0.5);
  EXPECT_NEAR(*r.tmDerivative, 55, 1.0);
}

struct NoResultCase {
  const char* name;
  std::vector<MeltPoint> points;
  MeltOutcome outcome;
};

TEST(MeltAccuracy, GivesNoResultWithoutATransition) {
  const NoResultCase cases[] = {
      {"no points", {}, MeltOutcome::TooFewPoints},
      {"a single point", {{25, 0.5}}, MeltOutcome::TooFewPoints},
      {"eleven temperatures", Curve({55, 300}, 50, 60, 1, 0, 1), MeltOutcome::TooFewPoints},
      {"exactly flat", Curve({55, 300, 0.5, 0, 0.5, 0}, 20, 90, 0.5, 0, 1), MeltOutcome::NoTransition},
      {"flat with noise", Curve({55, 300, 0.5, 0, 0.5, 0}, 20, 90, 0.5, 0.002, 7), MeltOutcome::NoTransition},
      {"dense flat with noise", Curve({55, 300, 0.5, 0, 0.5, 0}, 20, 90, 70.0 / 1999, 0.002, 10), MeltOutcome::NoTransition},
      {"sloped with noise", Curve({55, 300, 0.5, 0.002, 0.5, 0.002}, 20, 90, 0.5, 0.002, 8), MeltOutcome::NoTransition},
      {"transition above the range", Curve({140, 400}, 20, 90, 0.5, 0.002, 9), MeltOutcome::NoTransition},
  };
  for (const NoResultCase& c : cases) {
    SCOPED_TRACE(c.name);
    const MeltResult r = AnalyseMelt(c.points);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_FALSE(r.tmDerivative);
    EXPECT_FALSE(r.fit);
    EXPECT_EQ(r.points, static_cast<int>(c.points.size()));
  }
}

// The range keeps a second, unrelated step out of the fit, and a range
// without the transition gives no result.
TEST(MeltAccuracy, FitsOnlyWithinTheRange) {
  std::vector<MeltPoint> points = Curve({50, 300}, 20, 90, 0.5, 0.002, 11);
  for (MeltPoint& p : points) {
    if (p.temperature > 80) p.absorbance += 0.2;  // bubbles in the cuvette
  }
  struct Case {
    MeltRange range;
    int points;
    std::optional<double> tm;
  } cases[] = {
      {{std::nullopt, 79.9}, 120, 50.0},
      {{30.0, 79.9}, 100, 50.0},
      {{60.0, 79.9}, 40, std::nullopt},
  };
  for (const Case& c : cases) {
    const MeltResult r = AnalyseMelt(points, c.range);
    EXPECT_EQ(r.points, c.points);
    if (c.tm) {
      ASSERT_TRUE(r.fit);
      EXPECT_NEAR(r.fit->tm, *c.tm, 0.5);
    } else {
      EXPECT_FALSE(r.fit);
    }
  }
}

TEST(MeltTable, SixCellsGetTheirOwnTm) {
  const double tms[] = {42, 48, 55, 61, 67, 73};
  std::vector<std::vector<MeltPoint>> curves;
  for (int c = 0; c < 6; ++c) {
    TwoState s{tms[c], 250};
    s.nativeOffset += 0.1 * c;
    s.unfoldedOffset += 0.1 * c;
    curves.push_back(Curve(s, 20, 90, 0.5, 0.002, 50 + static_cast<unsigned>(c)));
  }
  const MeltSetResult set = AnalyseMeltSet(MeltCellsOf(testing::SixCellTable(curves)), {});
  ASSERT_EQ(set.rows.size(), 6u);
  for (int c = 0; c < 6; ++c) {
    SCOPED_TRACE(c + 1);
    const MeltRow& row = set.rows[static_cast<std::size_t>(c)];
    EXPECT_EQ(row.cell, c + 1);
    ASSERT_TRUE(row.result.fit);
    EXPECT_EQ(row.result.points, 141);
    EXPECT_NEAR(row.result.fit->tm, tms[c], 0.5);
  }
}

// Records are read the way the plot reads them: cell from the trailing tabs,
// temperature from the fourth field, absorbance after the last inner tab.
TEST(MeltTable, ReadsRecordsAsThePlotDoes) {
  struct Case {
    const char* line;
    int cell;  // 0: belongs to no cell
    double temperature, absorbance;
  } cases[] = {
      {"    S\t550.0\t 1.234\t 25.00\t 0.1234\t\t\t\t\t", 1, 25.0, 0.1234},
      {"    S\t550.0\t 1.234\t 25.00\t\t\t 0.5000\t\t\t", 3, 25.0, 0.5},
      {"    P\t260.0\t12.500\t 61.37\t\t\t\t\t\t-0.0100", 6, 61.37, -0.01},
      {"    S\t550.0\t 1.234\t 25.00\t 0.1234\t\t\t\t\t\r", 1, 25.0, 0.1234},
      {"    S\t550.0\t 1.234\t 25.00\t\t\t\t\t\t", 0, 0, 0},        // no reading
      {"    S\t550.0\t 1.234\t 25.00\t\t\t\t\t", 0, 0, 0},          // no reading, five tabs
      {"    S\t550.0\t 1.234\t 25.00\t\t\t\t\t\t\t", 0, 0, 0},      // too many tabs
      {"    S\t550.0\t 1.234\t 25.00\t\t\t ERR\t\t\t", 0, 0, 0},   // not a number
      {"    S\t550.0\t 1.234\t\t\t\t\t\t", 0, 0, 0},                // no temperature
      {"garbage", 0, 0, 0},
      {"", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const MeltCells cells = ReadMeltCells(std::string("   P/S\t nm\t min\t  °C\t  abs\n") + c.line + "\n");
    for (int k = 1; k <= kMeltCells; ++k) {
      const auto& got = cells[static_cast<std::size_t>(k - 1)];
      if (k != c.cell) {
        EXPECT_TRUE(got.empty()) << "cell " << k;
        continue;
      }
      ASSERT_EQ(got.size(), 1u);
      EXPECT_FLOAT_EQ(static_cast<float>(got[0].temperature), static_cast<float>(c.temperature));
      EXPECT_FLOAT_EQ(static_cast<float>(got[0].absorbance), static_cast<float>(c.absorbance));
    }
  }
  // The header is never a record, even when it looks like one.
  EXPECT_TRUE(ReadMeltCells("    S\t550.0\t 1.0\t 25.00\t 0.1\t\t\t\t\t")[0].empty());
}

}  // namespace
}  // namespace vireo
