// The step machine on its own: queueing, the report-interval and changer
// steps, and the start-up script request, one RunStep call per LED tick.
#include "controller/step_machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vireo {
namespace {

using Commands = std::vector<std::string>;

struct Machine {
  StepMachine steps;
  ControllerState state;
  std::int32_t plotInterval = 3;
  int scriptRequests = 0;

  // One tick; returns what it sent.
  Commands Tick() {
    const StepOutput out = RunStep(steps, state, plotInterval);
    if (out.requestStartupScript) ++scriptRequests;
    return out.commands;
  }
  // Ticks until the machine is idle with nothing queued; every tick's
  // commands, one entry per tick (empty where the tick sent nothing).
  std::vector<Commands> RunToIdle(int maxTicks = 80) {
    std::vector<Commands> ticks;
    for (int i = 0; i < maxTicks; ++i) {
      ticks.push_back(Tick());
      if (steps.CurrentStep == kStepIdle && steps.PendingCount == 0) break;
    }
    return ticks;
  }
  Commands Flat(const std::vector<Commands>& ticks) {
    Commands all;
    for (const auto& t : ticks) all.insert(all.end(), t.begin(), t.end());
    return all;
  }
};

// A one-holder controller without probe: the report-interval steps send CT only.
Machine OneHolder() {
  Machine m;
  m.state.ModelId = "11";
  m.state.BasicModel = true;
  m.state.FirmwareVersion = 2.3f;
  return m;
}

TEST(StepQueue, AQueuedStepIsTakenOnTheNextTickAndRunOnTheOneAfter) {
  Machine m = OneHolder();
  QueueStep(m.steps, kStepReportInterval);
  EXPECT_EQ(m.steps.PendingCount, 1);
  EXPECT_TRUE(m.Tick().empty());
  EXPECT_EQ(m.steps.CurrentStep, kStepReportInterval);
  EXPECT_EQ(m.steps.PendingCount, 0);
  EXPECT_EQ(m.Tick(), Commands{"[F1 CT +3]"});
}

TEST(StepQueue, QueuedStepsWaitForTheRunningSequenceWithOneIdleTickBetween) {
  Machine m = OneHolder();
  m.state.RequestedPosition = 4;
  QueueStep(m.steps, kStepReportInterval);
  QueueStep(m.steps, kStepChangerMove);
  const auto ticks = m.RunToIdle();
  // take 100, 100, 101, 102, 103, 200, take 113, 113, 200
  ASSERT_EQ(ticks.size(), 9u);
  EXPECT_EQ(ticks[1], Commands{"[F1 CT +3]"});
  EXPECT_TRUE(ticks[6].empty()) << "the idle tick that takes the changer step";
  EXPECT_EQ(ticks[7], Commands{"[F2 PL 4]"});
  EXPECT_EQ(m.Flat(ticks), (Commands{"[F1 CT +3]", "[F2 PL 4]"}));
}

TEST(StepQueue, ARequestAlreadyWaitingIsNotQueuedTwice) {
  Machine m = OneHolder();
  QueueStep(m.steps, kStepReportInterval);
  QueueStep(m.steps, kStepReportInterval);
  QueueStep(m.steps, kStepReportInterval);
  EXPECT_EQ(m.steps.PendingCount, 1);
  EXPECT_EQ(m.Flat(m.RunToIdle()), Commands{"[F1 CT +3]"});
}

TEST(StepQueue, AStepThatIsRunningCanBeQueuedAgain) {
  Machine m = OneHolder();
  QueueStep(m.steps, kStepReportInterval);
  m.Tick();
  m.Tick();  // step 100 has sent CT; the machine is in step 101
  m.plotInterval = 0;
  QueueStep(m.steps, kStepReportInterval);
  EXPECT_EQ(m.Flat(m.RunToIdle()), Commands{"[F1 CT -]"});
}

TEST(StepQueue, FiveWaitingRequestsAreAllServedInOrder) {
  Machine m = OneHolder();
  m.state.ModelId = "32";
  m.state.RequestedPosition = 2;
  for (const std::int32_t step : {kStepStartup, kStepReportInterval, kStepChangerStartup, kStepChangerHome,
                                  kStepChangerMove}) {
    QueueStep(m.steps, step);
  }
  EXPECT_EQ(m.steps.PendingCount, 5);
  const Commands sent = m.Flat(m.RunToIdle(200));
  // The start-up sequence with its own report intervals, then each queued step.
  const Commands expected{"[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]",
                          "[F1 TT +]", "[F1 PS +]", "[F1 FP +]", "[F1 CT +3]",  // start-up
                          "[F1 CT +3]",                                          // 100
                          "[F2 DI]", "[F2 PL 2]",                                // 111 to 113
                          "[F2 PL 2]"};                                          // 113
  EXPECT_EQ(sent, expected);
}

TEST(StartupScript, IsRequestedOnlyByTheFirstSequenceOfTheRun) {
  Machine m = OneHolder();
  QueueStep(m.steps, kStepStartup);
  m.RunToIdle();
  EXPECT_EQ(m.scriptRequests, 1);
  EXPECT_FALSE(m.steps.StartupScriptPending);
  QueueStep(m.steps, kStepStartup);  // the controller restarted
  const Commands again = m.Flat(m.RunToIdle());
  EXPECT_EQ(again.front(), "[F1 VN ?]");
  EXPECT_EQ(m.scriptRequests, 1);
  QueueStep(m.steps, kStepReportInterval);
  m.RunToIdle();
  EXPECT_EQ(m.scriptRequests, 1);
}

TEST(StartupSequence, ReferenceStirrerTakesTheSampleSpeedUpToItsFirstBlank) {
  Machine m;
  m.state.ModelId = "24";
  m.state.FirmwareVersion = 2.3f;
  m.state.SampleStirrerText = "1250 rpm";
  m.steps.CurrentStep = 22;
  EXPECT_EQ(m.Tick(), Commands{"[R1 SS S 1250]"});
  EXPECT_EQ(m.state.ReferenceStirrerText, "1250");
  // Basic models and newer firmware do not set the reference stirrer.
  m.steps.CurrentStep = 22;
  m.state.FirmwareVersion = 7.2f;
  EXPECT_TRUE(m.Tick().empty());
  EXPECT_EQ(m.steps.CurrentStep, 23);
}

struct IntervalCase {
  const char* model;
  bool basic;
  float firmware;
  bool probe;
  std::int32_t interval;
  Commands expected;
};

class ReportInterval : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(ReportInterval, SendsOneCommandPerReportTheControllerHas) {
  const IntervalCase& c = GetParam();
  Machine m;
  m.state.ModelId = c.model;
  m.state.BasicModel = c.basic;
  m.state.FirmwareVersion = c.firmware;
  m.state.ProbePresent = c.probe;
  m.plotInterval = c.interval;
  QueueStep(m.steps, kStepReportInterval);
  EXPECT_EQ(m.Flat(m.RunToIdle()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Controllers, ReportInterval,
    ::testing::Values(
        IntervalCase{"24", false, 2.3f, true, 3,
                     {"[F1 CT +3]", "[F1 PT +3]", "[F1 HT +3]", "[R1 CT +3]", "[R1 HT +3]"}},
        IntervalCase{"24", false, 2.3f, true, 0, {"[F1 CT -]", "[F1 PT -]", "[F1 HT -]", "[R1 CT -]", "[R1 HT -]"}},
        IntervalCase{"24", false, 7.0f, false, 10, {"[F1 CT +10]", "[R1 CT +10]"}},
        IntervalCase{"21", true, 2.3f, false, 3, {"[F1 CT +3]", "[R1 CT +3]"}},
        IntervalCase{"13", false, 1.0f, false, 3, {"[F1 CT +3]", "[F1 HT +3]"}},
        IntervalCase{"11", true, 2.3f, true, 0, {"[F1 CT -]", "[F1 PT -]"}}));

TEST(Changer, StartupAsksTheCountOnlyOfModelsBeyondTheKnownChangers) {
  Machine known = OneHolder();
  known.state.ModelId = "32";
  known.steps.CurrentStep = kStepChangerStartup;
  EXPECT_TRUE(known.Tick().empty());
  EXPECT_EQ(known.steps.CurrentStep, kStepStartupScript);

  Machine counted = OneHolder();
  counted.state.ModelId = "34";
  counted.steps.CurrentStep = kStepChangerStartup;
  EXPECT_EQ(counted.Tick(), (Commands{"[F2 MP ?]", "[F2 DL ?]"}));

  // Firmware 1.5 and below has no count query.
  counted.state.FirmwareVersion = 1.5f;
  counted.steps.CurrentStep = kStepChangerStartup;
  EXPECT_TRUE(counted.Tick().empty());
}

TEST(Changer, NewerFirmwareHomesTheChangerAtStartupAndGoesToTheRequestedPosition) {
  Machine m = OneHolder();
  m.state.ModelId = "34";
  m.state.FirmwareVersion = 7.2f;
  m.state.RequestedPosition = 1;
  QueueStep(m.steps, kStepChangerStartup);
  EXPECT_EQ(m.Flat(m.RunToIdle()), (Commands{"[F2 DI]", "[F2 PL 1]"}));
}

TEST(UnknownStep, HoldsTheMachineWhereItIs) {
  Machine m = OneHolder();
  m.steps.CurrentStep = 57;
  QueueStep(m.steps, kStepReportInterval);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(m.Tick().empty());
  EXPECT_EQ(m.steps.CurrentStep, 57);
  EXPECT_EQ(m.steps.PendingCount, 1);
}

}  // namespace
}  // namespace vireo
