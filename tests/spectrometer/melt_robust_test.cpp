// Curves spoilt as real runs spoil them: a wild reading, a baseline barely
// reached, a run that heats and then cools.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "spectrometer/melt_curves.h"
#include "spectrometer/offline_simulation.h"
#include "spectrometer/melt_set.h"

namespace vireo {
namespace {

using testing::Curve;
using testing::TwoState;

// A clear transition at 48.5 degrees, spoilt: a far reading below the
// transition, which inflated a plain RMS noise estimate until the transition
// counted as none; a single low reading near the top, whose derivative
// lobes outweighed the transition's; a sharp fall of 0.25 at 80 degrees (a
// bubble leaving), steeper than the melt but against the curve's overall
// rise, which only the sign of the peak tells from the transition (the fit
// of such a curve is not asked for).
TEST(MeltBadReadings, OneReadingDoesNotDecideTheResult) {
  struct Case {
    const char* name;
    std::vector<std::pair<double, double>> spoilt;  // temperature, absorbance added
    double fall;
    std::vector<double> outliers;  // temperatures left out
    bool fitted;
  } cases[] = {
      {"far reading below", {{30.0, 1.5}}, 0, {30.0}, true},
      {"low reading near the top", {{85.0, -3.0}}, 0, {85.0}, true},
      {"sharp fall near the top", {}, 0.25, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<MeltPoint> points = Curve(TwoState{48.5, 250}, 20, 90, 0.5, 0.002, 21);
    for (MeltPoint& p : points) {
      p.absorbance -= c.fall / (1 + std::exp(-(p.temperature - 80) / 0.3));
      for (const auto& [t, add] : c.spoilt) {
        if (std::abs(p.temperature - t) < 1e-9) p.absorbance += add;
      }
    }
    const MeltResult r = AnalyseMelt(points);
    ASSERT_EQ(r.outcome, MeltOutcome::Ok);
    ASSERT_TRUE(r.tmDerivative);
    EXPECT_NEAR(*r.tmDerivative, 48.5, 1.0);
    if (c.fitted) {
      ASSERT_TRUE(r.fit);
      EXPECT_NEAR(r.fit->tm, 48.5, 0.2);
    }
    EXPECT_NEAR(r.noise, 0.002, 0.0006);
    std::vector<double> left;
    for (const MeltPoint& p : r.outliers) left.push_back(p.temperature);
    EXPECT_EQ(left, c.outliers);
    EXPECT_EQ(r.readings.size(), points.size() - c.outliers.size());
  }
}

// A sharp transition and a step (bubbles) are followed by several readings:
// neither is taken for outliers.
TEST(MeltBadReadings, KeepsStepsAndSharpTransitions) {
  std::vector<MeltPoint> step = Curve(TwoState{50, 300}, 20, 90, 0.5, 0.002, 22);
  for (MeltPoint& p : step) p.absorbance += p.temperature > 80 ? 0.2 : 0.0;
  EXPECT_TRUE(AnalyseMelt(step).outliers.empty());
  const MeltResult sharp = AnalyseMelt(Curve(TwoState{50, 1200}, 20, 90, 0.5, 0.002, 23));
  EXPECT_TRUE(sharp.outliers.empty());
  ASSERT_TRUE(sharp.fit);
  EXPECT_NEAR(sharp.fit->tm, 50, 0.2);
}

// A baseline counts as measured with at least 3 degrees and 5 readings
// beyond the fitted 10-90 % span (for this curve 43.8 to 56.5 degrees).
TEST(MeltBadReadings, MarksATransitionWithoutItsBaselineIncomplete) {
  struct Case {
    double from, to;
    bool complete;
  } cases[] = {{20, 90, true}, {20, 60.5, true}, {20, 58.5, false}, {39.5, 90, true}, {41.5, 90, false}, {30, 55, false}};
  const std::vector<MeltPoint> points = Curve(TwoState{50, 300}, 10, 95, 0.5, 0.002, 24);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << " to " << c.to);
    const MeltResult r = AnalyseMelt(points, {c.from, c.to});
    ASSERT_TRUE(r.fit);
    EXPECT_EQ(r.fit->complete, c.complete);
  }
}

// The offline simulation's melt seen live, up to 22 degrees: its top is
// barely reached (fraction unfolded about 0.93) and the result not final.
TEST(MeltBadReadings, TheLiveOfflineSimulationIsIncomplete) {
  SimulatedInstrument instrument;
  std::int32_t restarts = 0;
  std::vector<MeltPoint> points;
  for (int tick = 0; 15 + 0.1 * tick <= 22.0 + 1e-9; ++tick) {
    const std::string reply = SimulatedReading(instrument, restarts, 1);
    points.push_back({15 + 0.1 * tick, std::stod(reply.substr(2))});
  }
  const MeltResult r = AnalyseMelt(points);
  ASSERT_TRUE(r.fit);
  EXPECT_NEAR(r.fit->tm, 20.5, 0.5);
  EXPECT_FALSE(r.fit->complete);
}

std::vector<MeltPoint> Ramp(const TwoState& s, double from, double to, unsigned seed) {
  std::vector<MeltPoint> points = Curve(s, std::min(from, to), std::max(from, to), 0.5, 0.002, seed);
  if (from > to) std::reverse(points.begin(), points.end());
  return points;
}

// Heating then cooling, the cooling curve 2.5 degrees lower: two results
// and the hysteresis between them. Temperatures that waver less than the
// turning threshold and a short return to the start split nothing.
TEST(MeltSegments, AnalysesHeatingAndCoolingApart) {
  std::vector<MeltPoint> run = Ramp({55, 300}, 20, 90, 25), down = Ramp({52.5, 300}, 90, 20, 26);
  run.insert(run.end(), down.begin(), down.end());
  const MeltSetResult set = AnalyseMeltSet({{3, run, std::nullopt}}, {});
  ASSERT_EQ(set.rows.size(), 2u);
  EXPECT_EQ(set.rows[0].direction, MeltDirection::Heating);
  EXPECT_EQ(set.rows[1].direction, MeltDirection::Cooling);
  ASSERT_TRUE(set.rows[0].result.fit && set.rows[1].result.fit);
  EXPECT_NEAR(set.rows[0].result.fit->tm, 55, 0.2);
  EXPECT_NEAR(set.rows[1].result.fit->tm, 52.5, 0.2);
  ASSERT_TRUE(set.rows[0].hysteresis && set.rows[1].hysteresis);
  EXPECT_NEAR(*set.rows[0].hysteresis, 2.5, 0.3);

  std::vector<MeltPoint> wavering = Ramp({55, 300}, 20, 90, 27);
  for (std::size_t i = 0; i < wavering.size(); ++i) wavering[i].temperature += (i % 2 ? 1.4 : -1.4);
  for (double t = 89; t > 80; t -= 1) wavering.push_back({t, 0.9});
  const std::vector<MeltSegment> one = SplitMeltSegments(wavering);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].direction, MeltDirection::Heating);
  EXPECT_EQ(one[0].points.size(), 140u);  // up to the highest reading
  EXPECT_EQ(SplitMeltSegments(Ramp({55, 300}, 90, 20, 28))[0].direction, MeltDirection::Cooling);
}

}  // namespace
}  // namespace vireo
