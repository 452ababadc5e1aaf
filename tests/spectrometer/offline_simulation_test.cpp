// The simulated instrument reading by reading, and the simulated experiment
// tick by tick on a host that answers readings as the spectrometer window
// does offline.
#include "spectrometer/offline_simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace vireo {
namespace {

struct CellCase {
  int position;
  int delay;
  double scale;
  double offset;
  const char* firstReading;
};
const CellCase kCells[] = {
    {1, 0, 1.0, 0.103, "d 0.1030"},   {2, 20, 0.89, 0.111, "d 0.1110"}, {3, 32, 0.80, 0.117, "d 0.1170"},
    {4, 40, 0.75, 0.121, "d 0.1210"}, {5, 45, 0.73, 0.123, "d 0.1230"}, {6, 48, 0.71, 0.124, "d 0.1240"},
};

// The curve from its closed form: the readings sum the Gaussian in the
// trapezoid's way without the step width, so the area is the integral over
// the step (0.1) from one step before the start, with the trapezoid's first
// correction term. Time is the single-precision sum of the steps.
std::vector<double> CurveFromClosedForm(int readings) {
  const double h = 0.1;
  auto integral = [](double u) { return std::sqrt(M_PI / 2) * std::erf(u / std::sqrt(2.0)); };
  auto slope = [](double u) { return -u * std::exp(-0.5 * u * u); };
  const double u0 = -5.5 - h;
  std::vector<double> curve;
  float t = 0.0f;
  for (int n = 0; n < readings; ++n) {
    const double u = static_cast<double>(t) - 5.5;
    const double area = (integral(u) - integral(u0)) / h + h / 12 * (slope(u) - slope(u0));
    curve.push_back(0.01 * (0.1 * static_cast<double>(t) + area));
    t += 0.1f;
  }
  return curve;
}

double Value(const std::string& reply) { return std::strtod(reply.c_str() + 2, nullptr); }

TEST(SimulatedInstrument, EachCellFollowsTheCurveWithItsDelayScaleAndOffset) {
  const int kReadings = 200;
  const std::vector<double> curve = CurveFromClosedForm(kReadings);
  for (const CellCase& c : kCells) {
    SimulatedInstrument instrument;
    std::int32_t restarts = -1;
    for (int n = 0; n < kReadings; ++n) {
      const std::string reply = SimulatedReading(instrument, restarts, c.position);
      ASSERT_EQ(reply.size(), 8u) << reply;
      if (n < c.delay) {
        ASSERT_EQ(reply, c.firstReading) << "cell " << c.position << " reading " << n;
        continue;
      }
      const double expected = c.scale * curve[static_cast<std::size_t>(n - c.delay)] + c.offset;
      // Printed to four decimals; the closed form agrees far better than that.
      ASSERT_NEAR(Value(reply), expected, 0.5e-4 + 5e-6) << "cell " << c.position << " reading " << n;
    }
    EXPECT_EQ(restarts, -1);
  }
}

TEST(SimulatedInstrument, ARestartUsesOneCountAndStartsTheCurveAgain) {
  SimulatedInstrument instrument;
  std::int32_t restarts = 0;
  std::vector<std::string> first;
  for (int n = 0; n < 60; ++n) first.push_back(SimulatedReading(instrument, restarts, 1));
  restarts = 2;
  EXPECT_EQ(SimulatedReading(instrument, restarts, 1), first[0]);
  EXPECT_EQ(restarts, 1);
  EXPECT_EQ(SimulatedReading(instrument, restarts, 1), first[0]);  // a second pending count restarts again
  EXPECT_EQ(restarts, 0);
  EXPECT_EQ(SimulatedReading(instrument, restarts, 1), first[1]);
  // The history is not reset by a restart: a late cell still shows the old run.
  EXPECT_NE(SimulatedReading(instrument, restarts, 6), "d 0.1240");
  instrument.EmptyHistory();
  EXPECT_EQ(SimulatedReading(instrument, restarts, 6), "d 0.1240");
}

TEST(SimulatedInstrument, PositionsOutsideTheChangerAnswerAsTheNearestCell) {
  for (const auto& [position, reply] : {std::pair{0, "d 0.1030"}, {-3, "d 0.1030"}, {7, "d 0.1240"}, {99, "d 0.1240"}}) {
    SimulatedInstrument instrument;
    std::int32_t restarts = -1;
    EXPECT_EQ(SimulatedReading(instrument, restarts, position), reply) << position;
  }
}

// Answers reading requests as the spectrometer window does offline: the
// record of the current position, completed by the simulated instrument.
struct WindowHost final : SimulationHost {
  WindowHost(SpectrometerWindowState& w, ControllerState& c) : window(w), controller(c) {}
  void RequestReading(char letter, std::string_view report) override {
    const int p = controller.CuvettePosition;
    const std::string reply = SimulatedReading(instrument, window.SimulationRestarts, p);
    readings.push_back(std::string(1, letter) + " " + std::string(report) + " @" + std::to_string(p) + " " + reply);
  }
  void AppendToDisplayLog(int level, std::string_view text) override {
    log.push_back(std::to_string(level) + ":" + std::string(text));
  }
  void AppendSeriesLine(int series, std::string_view record) override {
    (series == 1 ? sample : series == 3 ? probe : other).emplace_back(record);
  }
  void RedrawPlot() override { ++redraws; }
  int LoopLevel() const override { return loopLevel; }

  SpectrometerWindowState& window;
  ControllerState& controller;
  SimulatedInstrument instrument;
  int loopLevel = -1;
  int redraws = 0;
  std::vector<std::string> readings, log, sample, probe, other;
};

class SimulationTest : public ::testing::Test {
 protected:
  // As after ticking a recording box while stopped.
  void Start(bool sample, bool probe, bool sixCells) {
    window.RecordSample = sample && !probe;
    window.RecordProbe = probe;
    window.SixCellMode = sixCells;
    window.SimulationRestarts = 2;
  }
  void Step(int n = 1) {
    for (int i = 0; i < n; ++i) SimulationStep(window, controller, host);
  }
  SpectrometerWindowState window;
  ControllerState controller;
  WindowHost host{window, controller};
};

TEST_F(SimulationTest, StoppedItDoesNothingAndAClearedRunIsParked) {
  Step(5);  // as at program start
  window.SimulationTime = 5.0f;  // a run that Clear interrupted
  Step();
  EXPECT_FLOAT_EQ(window.SimulationTime, 15.0f);
  Step(3);
  EXPECT_TRUE(host.sample.empty() && host.probe.empty() && host.readings.empty() && host.log.empty());
  EXPECT_EQ(host.redraws, 0);
}

TEST_F(SimulationTest, SixCellsStepThePositionAndLogTheSimulatedTraffic) {
  Start(true, false, true);
  host.loopLevel = 1;
  controller.CuvettePosition = 4;  // the restart puts the changer at 1
  Step(7);
  const std::vector<std::string> expectedReadings = {
      "S 0.00\t15.00 @1 d 0.1030", "S 0.10\t15.10 @2 d 0.1110", "S 0.20\t15.20 @3 d 0.1170",
      "S 0.30\t15.30 @4 d 0.1210", "S 0.40\t15.40 @5 d 0.1230", "S 0.50\t15.50 @6 d 0.1240",
      "S 0.60\t15.60 @1 d 0.1036"};
  EXPECT_EQ(host.readings, expectedReadings);
  const std::vector<std::string> firstTick = {"-1:[F1 CT ?]", "-1:...[F1 CT 15.00]", "1:[F2 PL 2]", "1:...[F2 DL 2]",
                                              "1:[*D 8]"};
  EXPECT_EQ(std::vector<std::string>(host.log.begin(), host.log.begin() + 5), firstTick);
  EXPECT_EQ(host.log[5 * 5 + 2], "1:[F2 PL 1]");  // after 6 comes 1
  EXPECT_EQ(controller.CuvettePosition, 1 + 7 % 6);
  EXPECT_EQ(window.SimulationRestarts, 0);  // one count for the step, one for the instrument
  EXPECT_EQ(host.sample.front(), "0.00\t15.00");
  EXPECT_EQ(host.probe.front(), "0.00\t14.50");
  EXPECT_EQ(host.redraws, 7);
}

TEST_F(SimulationTest, AOneCellRunCovers141TicksFrom15To29DegreesAtPositionOne) {
  Start(true, false, false);
  Step(200);
  EXPECT_EQ(controller.CuvettePosition, 1);
  EXPECT_TRUE(host.log.empty());
  for (const std::string& r : host.readings) ASSERT_NE(r.find(" @1 "), std::string::npos) << r;
  ASSERT_EQ(host.sample.size(), 141u);
  EXPECT_EQ(host.sample.back(), "14.00\t29.00");
  EXPECT_EQ(host.probe.back(), "14.00\t28.50");
  EXPECT_EQ(host.readings.size(), 141u);
  EXPECT_TRUE(host.other.empty());
  // An ended run stays ended until Clear (-1) and a ticked box (2) start another.
  Step();
  EXPECT_EQ(host.sample.size(), 141u);
  window.SimulationRestarts = -1;
  Step();
  window.SimulationRestarts = 2;
  Step();
  EXPECT_EQ(host.sample.back(), "0.00\t15.00");
}

TEST_F(SimulationTest, WhichReadingsAreAsked) {
  struct Case {
    bool sample, probe, settled;
    const char* letter;  // nullptr: none
    const char* logged;
  };
  const Case cases[] = {
      {true, false, true, "S", "-1:[F1 CT ?]"},
      {false, true, true, "P", "-1:[F1 PT ?]"},
      {true, true, true, "P", "-1:[F1 PT ?]"},  // the probe wins
      {true, false, false, nullptr, "-1:[F2 PL 2]"},  // the changer has not settled
      {false, true, false, nullptr, "-1:[F2 PL 2]"},
  };
  for (const Case& c : cases) {
    SpectrometerWindowState w;
    ControllerState controller;
    controller.PositionSettled = c.settled;
    WindowHost h{w, controller};
    w.RecordSample = c.sample;
    w.RecordProbe = c.probe;
    w.SimulationRestarts = 2;
    SimulationStep(w, controller, h);
    ASSERT_EQ(h.readings.size(), c.letter ? 1u : 0u) << c.logged;
    EXPECT_EQ(h.log.front(), c.logged);
    if (c.letter) {
      EXPECT_EQ(h.readings[0].substr(0, 1), c.letter);
      EXPECT_EQ(h.log[1], c.letter[0] == 'P' ? "-1:...[F1 PT 15.00]" : "-1:...[F1 CT 15.00]");
    }
  }
}

TEST_F(SimulationTest, ARunGoesOnAfterItsBoxIsUnticked) {
  Start(true, false, true);
  Step(3);
  window.RecordSample = false;
  Step(3);
  EXPECT_EQ(host.readings.size(), 3u);
  EXPECT_EQ(host.sample.size(), 6u);
  EXPECT_EQ(host.probe.size(), 6u);
  EXPECT_EQ(host.redraws, 6);
  EXPECT_EQ(host.log.back(), "-1:[*D 8]");
}

}  // namespace
}  // namespace vireo
