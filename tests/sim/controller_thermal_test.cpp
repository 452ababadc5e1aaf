// The simulated controller on its virtual clock: temperatures, stability,
// ramps, periodic reports and the changer's move time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "sim/controller_model.h"
#include "sim/sim_test_helpers.h"

namespace vireo::sim {
namespace {

int Count(const std::string& text, std::string_view what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

constexpr Holder kSample = Holder::kSample;

TEST(ControllerThermal, NewTargetIsReachedAtTheBoundedRateThenReportedStable) {
  ControllerModel m(Config(""));
  Ask(m, "[F1 IS +]");
  Ask(m, "[F1 TC +]");
  Ask(m, "[F1 TT S 42]");
  m.Advance(60'000);
  EXPECT_NEAR(m.Temperature(kSample), 22.0 + 5.0, 0.3);  // 5 degrees a minute from ambient
  int ms = 60'000;
  while (std::abs(m.Temperature(kSample) - 42.0) > 0.1 && ms < 600'000) {
    m.Advance(100);
    ms += 100;
  }
  EXPECT_NEAR(ms / 1000.0, 250.0, 15.0);
  EXPECT_FALSE(m.Stable(kSample));

  // Stable only after holding the target for about ten seconds; the
  // automatic status report says so as soon as it changes.
  std::string reports;
  int waitedMs = 0;
  while (!m.Stable(kSample) && waitedMs < 60'000) {
    reports += m.Advance(100);
    waitedMs += 100;
  }
  EXPECT_TRUE(m.Stable(kSample));
  EXPECT_GE(waitedMs, 9'900);
  EXPECT_EQ(reports, "[F1 IS 0-+S]\r\n");
  EXPECT_EQ(Ask(m, "[F1 IS ?]"), "[F1 IS 0-+S]\r\n");

  // Switched off, the holder drifts back toward ambient and is no longer stable.
  EXPECT_EQ(Ask(m, "[F1 TC -]"), "[F1 TC -]\r\n[F1 IS 0---]\r\n");
  m.Advance(600'000);
  EXPECT_LT(m.Temperature(kSample), 30.0);
}

TEST(ControllerThermal, NoiseIsSmallAndReproducibleFromTheSeed) {
  ControllerModel a(Config("seed=7")), b(Config("seed=7"));
  for (ControllerModel* m : {&a, &b}) {
    Ask(*m, "[F1 TC +]");
    Ask(*m, "[F1 TT S 25]");
    m->Advance(300'000);
  }
  EXPECT_EQ(Ask(a, "[F1 CT ?]"), Ask(b, "[F1 CT ?]"));
  double low = 100, high = -100;
  for (int i = 0; i < 100; ++i) {
    a.Advance(1000);
    low = std::min(low, a.Temperature(kSample));
    high = std::max(high, a.Temperature(kSample));
  }
  EXPECT_GT(high - low, 0.005);
  EXPECT_LT(high - low, 0.1);
}

// The ramp moves the set-point at its rate; the block follows closely. The
// newer firmware takes the rate from RS and RT, the older from RR.
TEST(ControllerThermal, RampFollowsItsRateOnEitherFirmware) {
  struct Case {
    const char* options;
    const char* rateCommands[2];
  };
  for (const Case& c : {Case{"firmware=2.3", {"[F1 RR S 1.0]", "[F1 RR ?]"}},
                        Case{"firmware=7.2", {"[F1 RS S 3]", "[F1 RT S 5]"}}}) {
    ControllerModel m(Config(c.options));
    for (const char* command : c.rateCommands) Ask(m, command);
    Ask(m, "[F1 TC +]");
    Ask(m, "[F1 TT +]");
    EXPECT_DOUBLE_EQ(m.RampRate(kSample), 1.0) << c.options;
    const std::string started = Ask(m, "[F1 TT S 32]");
    EXPECT_EQ(started.rfind("[F1 TT 2", 0), 0u) << started;  // the ramp starts near ambient, not at 32
    const std::string reports = m.Advance(300'000);
    EXPECT_NEAR(m.Setpoint(kSample), m.Temperature(kSample), 0.3);
    EXPECT_NEAR(m.Setpoint(kSample), 22.0 + 5.0, 0.1) << c.options;
    // Intermediate targets are reported, a few seconds apart, not every tick.
    EXPECT_GE(Count(reports, "[F1 TT "), 50);
    EXPECT_LE(Count(reports, "[F1 TT "), 61);
    EXPECT_NE(m.Advance(600'000).find("[F1 TT 32.00]"), std::string::npos);
    EXPECT_DOUBLE_EQ(m.Setpoint(kSample), 32.0);
  }
}

TEST(ControllerThermal, LinkedRampDrivesTheReferenceWithTheSampleRate) {
  ControllerModel m(Config("model=22,firmware=7.2"));
  Ask(m, "[F1 RS S 6]");
  Ask(m, "[F1 RT S 5]");
  EXPECT_DOUBLE_EQ(m.RampRate(Holder::kReference), 0.0);
  Ask(m, "[F1 TL +]");
  EXPECT_DOUBLE_EQ(m.RampRate(Holder::kReference), 0.5);
  Ask(m, "[F1 TL -]");
  EXPECT_DOUBLE_EQ(m.RampRate(Holder::kReference), 0.0);
}

TEST(ControllerThermal, HeatExchangerCarriesTheLoadAndTheProbeLagsTheHolder) {
  ControllerModel m(Config(""));
  Ask(m, "[F1 TC +]");
  Ask(m, "[F1 TT S -20]");
  m.Advance(1'200'000);
  EXPECT_NEAR(m.Temperature(kSample), -20.0, 0.1);
  EXPECT_GT(m.HeatExchangerTemperature(kSample), 40.0);  // orange territory below a 60 degree limit
  EXPECT_NEAR(m.HeatExchangerTemperature(Holder::kReference), 22.0, 0.5);
  // The probe in the cuvette stays a little closer to ambient than the block.
  EXPECT_GT(m.ProbeTemperature(), m.Temperature(kSample) + 0.3);
  EXPECT_LT(m.ProbeTemperature(), m.Temperature(kSample) + 1.5);
}

TEST(ControllerReports, PeriodicReadingsEveryNSecondsUntilStopped) {
  ControllerModel m(Config("probe=0"));
  EXPECT_EQ(Count(Ask(m, "[F1 CT +3]"), "[F1 CT "), 1);  // the first one at once
  EXPECT_EQ(Ask(m, "[R1 HT +2]").rfind("[R1 HT ", 0), 0u);
  EXPECT_EQ(Ask(m, "[F1 PT +5]"), "[F1 PT NA]\r\n");
  const std::string reports = m.Advance(30'000);
  EXPECT_EQ(Count(reports, "[F1 CT "), 10);
  EXPECT_EQ(Count(reports, "[R1 HT "), 15);
  EXPECT_EQ(Count(reports, "[F1 PT NA]"), 6);
  EXPECT_EQ(Ask(m, "[F1 CT -]"), "");
  EXPECT_EQ(Ask(m, "[R1 HT +0]"), "");
  EXPECT_EQ(Ask(m, "[F1 PT -]"), "");
  EXPECT_EQ(m.Advance(30'000), "");
}

TEST(ControllerChanger, MoveIsAnsweredWithThePositionAfterItsMoveTime) {
  ControllerModel m(Config("model=32"));
  EXPECT_EQ(Ask(m, "[F2 PL 4]"), "");
  EXPECT_EQ(m.Advance(2900), "");
  EXPECT_EQ(Ask(m, "[F2 DL ?]"), "[F2 DL 1]\r\n");  // still on its way
  EXPECT_EQ(m.Advance(100), "[F2 DL 4]\r\n");
  EXPECT_EQ(m.ChangerPosition(), 4);
  // Home is acknowledged at once and reports no arrival; a move to where the
  // changer stands is answered at once.
  EXPECT_EQ(Ask(m, "[F2 DI]"), "[F2 DI]\r\n");
  EXPECT_EQ(m.Advance(5000), "");
  EXPECT_EQ(m.ChangerPosition(), 1);
  EXPECT_EQ(Ask(m, "[F2 PL 1]"), "[F2 DL 1]\r\n");
  // A new move replaces one under way.
  Ask(m, "[F2 PL 6]");
  m.Advance(1000);
  Ask(m, "[F2 DL 2]");
  EXPECT_EQ(m.Advance(1000), "[F2 DL 2]\r\n");
}

}  // namespace
}  // namespace vireo::sim
