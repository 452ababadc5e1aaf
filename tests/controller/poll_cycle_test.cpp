// The 200 ms LED tick of the main window after first contact: the start-up
// sequence as the controller sees it, queued steps, changer moves, the
// holder LEDs, the reminder's second and the live plot.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "shell/widgets.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

using Lines = std::vector<std::string>;
using Answers = std::map<std::string, Lines>;

// Ticks until the step machine rests, the controller answering each command
// from `answers` at once. Returns only what the ticks sent: commands that the
// replies' own handlers send are left out.
Lines RunAnswering(FormFixture& f, const Answers& answers, int* ticks = nullptr, int maxTicks = 80) {
  Lines sent;
  int n = 0;
  while (n < maxTicks) {
    f.Tick();
    ++n;
    for (const std::string& command : f.Sent()) {
      sent.push_back(command);
      if (const auto it = answers.find(command); it != answers.end()) {
        for (const std::string& reply : it->second) f.Receive(reply + "\r\n");
      }
    }
    f.Sent();
    if (f.form->Steps.CurrentStep == kStepIdle && f.form->Steps.PendingCount == 0) break;
  }
  if (ticks) *ticks = n;
  return sent;
}

Answers ControllerAnswers(const std::string& model, const std::string& version, bool probe) {
  return {{"[F1 VN ?]", {"[F1 VN " + version + "]"}},
          {"[F1 ID ?]", {"[F1 ID " + model + "]"}},
          {"[F1 SS ?]", {"[F1 SS 1250]"}},
          {"[F1 PS +]", {probe ? "[F1 PR +]" : "[F1 PR -]"}}};
}

// A window connected to a controller that has answered its whole start-up sequence.
void Connect(FormFixture& f, const std::string& model, const std::string& version, bool probe = false) {
  f.ConnectAndAnswer();
  RunAnswering(f, ControllerAnswers(model, version, probe));
}

const Lines kTwoHolderQueries{"[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]",
                              "[F1 PS +]", "[F1 FP +]", "[F1 HL ?]", "[F1 MS ?]", "[F1 LS ?]", "[F1 SS ?]",
                              "[F1 MT ?]", "[F1 LT ?]", "[R1 IS ?]", "[R1 TT ?]", "[R1 SS S 1250]",
                              "[R1 IS +]", "[R1 ER +]", "[R1 TT +]"};

TEST(StartupSequence, TwoHolderExtendedControllerWithOlderFirmware) {
  FormFixture f;
  f.ConnectAndAnswer();
  Lines expected = kTwoHolderQueries;
  expected.insert(expected.end(), {"[F1 CT +3]", "[F1 HT +3]", "[R1 CT +3]", "[R1 HT +3]"});
  EXPECT_EQ(RunAnswering(f, ControllerAnswers("24", "2.30", false)), expected);
}

TEST(StartupSequence, TwoHolderExtendedControllerWithProbeAsksProbeReports) {
  FormFixture f;
  f.ConnectAndAnswer();
  Lines expected = kTwoHolderQueries;
  expected.insert(expected.end(), {"[F1 CT +3]", "[F1 PT +3]", "[F1 HT +3]", "[R1 CT +3]", "[R1 HT +3]"});
  EXPECT_EQ(RunAnswering(f, ControllerAnswers("24", "2.30", true)), expected);
}

TEST(StartupSequence, NewerFirmwareSkipsFastPollLimitsAndHeatExchangerReports) {
  FormFixture f;
  f.ConnectAndAnswer();
  const Lines expected{"[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]",
                       "[F1 PS +]", "[R1 IS ?]", "[R1 TT ?]", "[R1 IS +]", "[R1 ER +]", "[R1 TT +]",
                       "[F1 CT +3]", "[R1 CT +3]"};
  EXPECT_EQ(RunAnswering(f, ControllerAnswers("24", "7.20", false)), expected);
}

TEST(StartupSequence, Model13WithFirstFirmwareSkipsTheStirrerLimits) {
  FormFixture f;
  f.ConnectAndAnswer();
  const Lines expected{"[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]",
                       "[F1 PS +]", "[F1 FP +]", "[F1 HL ?]", "[F1 SS ?]", "[F1 MT ?]", "[F1 LT ?]",
                       "[F1 CT +3]", "[F1 HT +3]"};
  EXPECT_EQ(RunAnswering(f, ControllerAnswers("13", "1.00", false)), expected);
}

TEST(StartupSequence, OneHolderBasicControllerTakesFifteenTicks) {
  FormFixture f;
  f.ConnectAndAnswer();
  int ticks = 0;
  const Lines sent = RunAnswering(f, ControllerAnswers("11", "2.30", false), &ticks);
  EXPECT_EQ(ticks, 15);
  EXPECT_EQ(sent, (Lines{"[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]", "[F1 PS +]",
                         "[F1 FP +]", "[F1 CT +3]"}));
  EXPECT_FALSE(f.form->Steps.StartupScriptPending);
}

TEST(StartupSequence, UnansweredQueriesDoNotHoldTheSequenceUp) {
  FormFixture f;
  f.ConnectAndAnswer();
  int ticks = 0;
  const Lines sent = RunAnswering(f, {}, &ticks);
  // The initial state is an extended one-holder model with newer firmware.
  EXPECT_EQ(sent, (Lines{"[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]", "[F1 PS +]",
                         "[F1 CT +3]"}));
  EXPECT_LT(ticks, 20);
}

TEST(StartupSequence, ClearAllEmptiesTheSeriesJustBeforeTheReportIntervals) {
  FormFixture f;
  f.ConnectAndAnswer();
  const Answers answers = ControllerAnswers("24", "2.30", false);
  bool cleared = false;
  for (int i = 0; i < 40 && !cleared; ++i) {
    f.Receive("[F1 CT 21.50]\r\n");
    ASSERT_FALSE(f.SeriesText(1).empty());
    f.Tick();
    for (const std::string& command : f.Sent()) {
      if (const auto it = answers.find(command); it != answers.end()) f.Receive(it->second.front() + "\r\n");
      if (command == "[R1 TT +]") cleared = true;
    }
  }
  ASSERT_TRUE(cleared);
  EXPECT_EQ(f.SeriesText(1), "");
  // What arrives from now on is kept.
  f.Receive("[F1 CT 21.75]\r\n");
  f.Tick(10);
  EXPECT_NE(f.SeriesText(1), "");
}

TEST(StartupSequence, ARestartReportRunsItAgainWithoutTheStartupScript) {
  FormFixture f;
  Connect(f, "24", "2.30");
  f.Receive("[F1 IS 0-+S]\r\n");
  ASSERT_EQ(f.form->Controller.SampleControlState, kControlHolding);
  f.Sent();  // the linked reference holder follows the sample holder
  f.Receive("[F1 IS R]\r\n");
  EXPECT_EQ(f.Sent(), Lines{"[F1 IS ?]"});
  EXPECT_EQ(f.form->Controller.SampleControlState, kControlOff);
  EXPECT_EQ(f.form->Controller.ReferenceControlState, kControlOff);
  Lines expected = kTwoHolderQueries;
  expected.insert(expected.end(), {"[F1 CT +3]", "[F1 HT +3]", "[R1 CT +3]", "[R1 HT +3]"});
  EXPECT_EQ(RunAnswering(f, ControllerAnswers("24", "2.30", false)), expected);
  EXPECT_FALSE(f.form->Steps.StartupScriptPending);
}

TEST(StartupSequence, ARestartReportInTheMiddleOfARecordingKeepsTheSeriesTheirTimesAndTheLink) {
  FormFixture f;
  Connect(f, "24", "2.30");
  f.form->M_Tools_Link_RtoSClick(f.form->M_Tools_Link_RtoS);  // the user unlinks
  f.Receive("[F1 CT 29.90]\r\n");  // the run's time 0
  f.Tick(300);                      // a minute into the run
  f.Receive("[F1 CT 30.00]\r\n[R1 CT 29.00]\r\n[F1 HT 18.00]\r\n");
  const std::string series[3] = {f.SeriesText(1), f.SeriesText(2), f.SeriesText(4)};

  f.Receive("[F1 IS R]\r\n");
  RunAnswering(f, ControllerAnswers("24", "2.30", false));
  EXPECT_EQ(f.SeriesText(1), series[0]);
  EXPECT_EQ(f.SeriesText(2), series[1]);
  EXPECT_EQ(f.SeriesText(4), series[2]);
  EXPECT_FALSE(f.form->M_Tools_Link_RtoS->isChecked());
  EXPECT_TRUE(f.form->Controller.ReferenceShown);
  // Records go on on the same time scale.
  f.Receive("[F1 CT 30.50]\r\n");
  EXPECT_EQ(f.SeriesText(1).substr(0, series[0].size()), series[0]);
  EXPECT_GT(f.SeriesText(1).size(), series[0].size());
  EXPECT_GT(std::stod(f.SeriesText(1).substr(series[0].size())), 1.0) << f.SeriesText(1);
}

TEST(StartupSequence, AControllerAlreadyAtWorkGetsNoTargetOrStirrerItDidNotReport) {
  FormFixture f;
  f.ConnectAndAnswer("[F1 IS 0++S]");
  Answers atWork = ControllerAnswers("24", "2.30", false);
  atWork["[F1 TT ?]"] = {"[F1 TT 37.00]"};
  atWork["[R1 TT ?]"] = {"[R1 TT 37.00]"};
  atWork["[R1 IS ?]"] = {"[R1 IS 0++S]"};
  // Every command, also those the replies' handlers send.
  Lines sent;
  for (int i = 0; i < 80; ++i) {
    f.Tick();
    for (const std::string& command : f.Sent()) {
      sent.push_back(command);
      if (const auto it = atWork.find(command); it != atWork.end()) f.Receive(it->second.front() + "\r\n");
    }
    for (const std::string& command : f.Sent()) sent.push_back(command);
  }
  EXPECT_TRUE(f.form->M_Tools_Link_RtoS->isChecked());
  for (const std::string& command : sent) {
    EXPECT_NE(command.substr(0, 8), "[R1 TT S") << command;
    EXPECT_NE(command.substr(0, 7), "[R1 TC ") << command;
    EXPECT_NE(command, "[R1 SS S 0]");
    EXPECT_NE(command.substr(0, 7), "[F1 TC ") << command;
  }
  EXPECT_NE(std::find(sent.begin(), sent.end(), "[R1 SS S 1250]"), sent.end());  // the speed read from the sample
}

TEST(QueuedSteps, StopSendsTheOffFormsAndClearAndRestartTheIntervalAgain) {
  FormFixture f;
  Connect(f, "24", "2.30", true);
  f.form->M_Plot_StopClick(f.form->M_Plot_Stop);
  EXPECT_EQ(RunAnswering(f, {}), (Lines{"[F1 CT -]", "[F1 PT -]", "[F1 HT -]", "[R1 CT -]", "[R1 HT -]"}));
  // A second Stop has nothing to stop.
  f.form->M_Plot_StopClick(f.form->M_Plot_Stop);
  EXPECT_TRUE(RunAnswering(f, {}).empty());
  f.form->M_Plot_ClearRestartClick(f.form->M_Plot_ClearRestart);
  EXPECT_EQ(RunAnswering(f, {}), (Lines{"[F1 CT +3]", "[F1 PT +3]", "[F1 HT +3]", "[R1 CT +3]", "[R1 HT +3]"}));
}

TEST(QueuedSteps, AStepQueuedDuringTheSequenceWaitsForItsEnd) {
  FormFixture f;
  f.ConnectAndAnswer();
  f.Tick(3);
  f.Sent();
  f.form->QueueStep(kStepReportInterval);
  EXPECT_EQ(RunAnswering(f, {}),
            (Lines{"[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]", "[F1 PS +]", "[F1 CT +3]", "[F1 CT +3]"}));
}

TEST(ChangerMoves, WithoutHomeBeforeThePositionGoesOutOneTickAfterTheStepIsTaken) {
  FormFixture f;
  Connect(f, "32", "2.30");
  f.form->M_Tools_CP_Click(f.form->M_Tools_CP_Items[2]);
  f.Tick();
  EXPECT_TRUE(f.Sent().empty());
  f.Tick();
  EXPECT_EQ(f.Sent(), Lines{"[F2 PL 3]"});
  EXPECT_EQ(f.form->Controller.CuvettePosition, 3);
  EXPECT_FALSE(f.form->Controller.PositionSettled);
}

TEST(ChangerMoves, HomeBeforeSendsHomeThenThePositionThreeTicksLater) {
  FormFixture f;
  Connect(f, "32", "2.30");
  f.form->CkB_HomeBefore->setChecked(true);
  ASSERT_TRUE(f.form->M_Tools_CP_HomeBefore->isChecked());
  f.form->M_Tools_CP_Click(f.form->M_Tools_CP_Items[4]);
  std::vector<Lines> perTick;
  for (int i = 0; i < 6; ++i) {
    f.Tick();
    perTick.push_back(f.Sent());
  }
  EXPECT_EQ(perTick, (std::vector<Lines>{{}, {"[F2 DI]"}, {}, {}, {"[F2 PL 5]"}, {}}));
}

TEST(ChangerMoves, ThePositionChoiceIsRefusedWhileThreeStepsWait) {
  FormFixture f;
  Connect(f, "32", "2.30");
  f.form->Steps.CurrentStep = 57;  // a step that holds the machine, so the queue stays
  f.form->QueueStep(kStepReportInterval);
  f.form->QueueStep(kStepChangerStartup);
  f.form->QueueStep(kStepStartup);
  f.form->M_Tools_CP_Click(f.form->M_Tools_CP_Items[3]);
  EXPECT_EQ(f.form->Steps.PendingCount, 3);
  EXPECT_EQ(f.form->Controller.RequestedPosition, 1);

  f.form->Steps.PendingCount = 2;
  f.form->M_Tools_CP_Click(f.form->M_Tools_CP_Items[3]);
  EXPECT_EQ(f.form->Steps.PendingCount, 3);
  EXPECT_EQ(f.form->Controller.RequestedPosition, 4);
}

// ---- Holder LEDs ---------------------------------------------------------------

struct LedSample {
  std::string text;
  PlotColour led;
  PlotColour label;
};

std::vector<LedSample> Watch(FormFixture& f, bool reference, int ticks) {
  std::vector<LedSample> samples;
  for (int i = 0; i < ticks; ++i) {
    f.Tick();
    QLabel* label = reference ? f.form->L_R_LED : f.form->L_S_LED;
    LedShape* led = reference ? f.form->Shape_R_LED : f.form->Shape_S_LED;
    samples.push_back({label->text().toStdString(), led->Colour(), FontColour(label)});
  }
  return samples;
}

// The tick numbers (1-based) on which the LED colour changed.
std::vector<int> LedChanges(const std::vector<LedSample>& samples) {
  std::vector<int> changes;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    if (!(samples[i].led == samples[i - 1].led)) changes.push_back(static_cast<int>(i) + 1);
  }
  return changes;
}

TEST(HolderLeds, SeekingBlinksGreenOnceASecond) {
  FormFixture f;
  Connect(f, "11", "2.30");
  f.Receive("[F1 IS 0-+-]\r\n");
  const auto samples = Watch(f, false, 31);
  for (const auto& s : samples) EXPECT_EQ(s.text, "seeking");
  const auto changes = LedChanges(samples);
  ASSERT_GE(changes.size(), 4u);
  for (std::size_t i = 1; i < changes.size(); ++i) EXPECT_EQ(changes[i] - changes[i - 1], 5);
  for (const auto& s : samples) EXPECT_TRUE(s.led == kGreen || s.led == kSilver);
}

TEST(HolderLeds, SeekingWithNewerFirmwareBlinksRed) {
  FormFixture f;
  Connect(f, "11", "7.00");
  f.Receive("[F1 IS 0-+-]\r\n");
  const auto samples = Watch(f, false, 11);
  bool red = false;
  for (const auto& s : samples) {
    EXPECT_TRUE(s.led == kRed || s.led == kSilver);
    red = red || s.led == kRed;
  }
  EXPECT_TRUE(red);
}

TEST(HolderLeds, HoldingIsSteadyGreenOrRedFromFirmwareSeven) {
  for (const auto& [version, colour] : {std::pair{"6.90", kGreen}, std::pair{"7.00", kRed}}) {
    SCOPED_TRACE(version);
    FormFixture f;
    Connect(f, "11", version);
    f.Receive("[F1 IS 0-+S]\r\n");
    for (const auto& s : Watch(f, false, 12)) {
      EXPECT_EQ(s.text, "holding");
      EXPECT_EQ(s.led, colour);
    }
  }
}

TEST(HolderLeds, ReferenceHoldingTextHasATrailingBlank) {
  FormFixture f;
  Connect(f, "24", "2.30");
  f.form->M_Tools_Link_RtoSClick(f.form->M_Tools_Link_RtoS);  // unlink: the reference box shows
  f.Receive("[R1 IS 0-+S]\r\n");
  EXPECT_EQ(Watch(f, true, 1).front().text, "holding ");
}

TEST(HolderLeds, OffIsSilverWithBlueText) {
  FormFixture f;
  Connect(f, "11", "2.30");
  f.Receive("[F1 IS 0-+S]\r\n");
  f.Tick();
  f.Receive("[F1 IS 0---]\r\n");
  for (const auto& s : Watch(f, false, 6)) {
    EXPECT_EQ(s.text, "off");
    EXPECT_EQ(s.led, kSilver);
    EXPECT_EQ(s.label, kBlue);
  }
}

TEST(HolderLeds, AFaultBlinksEveryTickWithItsErrorNumberUntilTheNoticeIsCleared) {
  FormFixture f;
  Connect(f, "24", "2.30");
  f.Receive("[R1 ER 8]\r\n");
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());
  const auto samples = Watch(f, true, 6);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(samples[i].text, "Ref: Fault (ER 8)");
    if (i > 0) {
      EXPECT_FALSE(samples[i].led == samples[i - 1].led) << "tick " << i + 1;
      EXPECT_FALSE(samples[i].label == samples[i - 1].label) << "tick " << i + 1;
    }
    EXPECT_TRUE(samples[i].led == kRed || samples[i].led == kSilver);
    EXPECT_EQ(samples[i].led == kRed, samples[i].label == kRed);
    EXPECT_EQ(samples[i].led == kSilver, samples[i].label == kBlue);
  }

  f.form->Btn_ErrorNoticeClick(nullptr);
  EXPECT_EQ(f.form->Controller.ReferenceControlState, kControlFault);
  f.form->Btn_ErrorNoticeClick(f.form->Btn_ErrorNotice);
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_EQ(f.form->Controller.ReferenceControlState, kControlOff);
  const auto after = Watch(f, true, 2);
  EXPECT_EQ(after.back().text, "off");
  EXPECT_EQ(after.back().led, kSilver);
  EXPECT_EQ(after.back().label, kBlue);
}

TEST(HolderLeds, SampleFaultTextHasNoPrefix) {
  FormFixture f;
  Connect(f, "11", "2.30");
  f.Receive("[F1 ER 5]\r\n");
  EXPECT_EQ(Watch(f, false, 1).front().text, "Fault (ER 5)");
}

// ---- The rest of the tick --------------------------------------------------------

TEST(ReminderSecond, CountsEveryFifthTickWhileBothHoldersHold) {
  FormFixture f;
  Connect(f, "11", "2.30");
  f.Receive("[F1 IS 0-+S]\r\n");
  const int before = f.form->EquilReminder.ReminderCount;
  f.Tick(10);
  EXPECT_EQ(f.form->EquilReminder.ReminderCount, before + 2);
  f.Receive("[F1 IS 0---]\r\n");
  f.Tick(10);
  EXPECT_EQ(f.form->EquilReminder.ReminderCount, before + 2);
}

TEST(LivePlot, RefreshesOnceASecondOnlyWhileLiveAndOnline) {
  FormFixture f;
  Connect(f, "11", "2.30");
  ASSERT_TRUE(f.form->Recording.LivePlot);
  f.form->Status.PlotRefreshMs = 0.0f;
  f.Tick(4);
  EXPECT_FLOAT_EQ(f.form->Status.PlotRefreshMs, 800.0f);
  f.Tick();
  EXPECT_FLOAT_EQ(f.form->Status.PlotRefreshMs, 0.0f);

  f.form->M_Plot_StopClick(f.form->M_Plot_Stop);
  ASSERT_FALSE(f.form->Recording.LivePlot);
  f.Tick(12);
  EXPECT_FLOAT_EQ(f.form->Status.PlotRefreshMs, 2400.0f);
  // Switched on again: the very next tick refreshes.
  f.form->M_Plot_ClearRestartClick(f.form->M_Plot_ClearRestart);
  f.Tick();
  EXPECT_FLOAT_EQ(f.form->Status.PlotRefreshMs, 0.0f);

  f.form->Recording.OfflineMode = true;
  f.Tick(6);
  EXPECT_FLOAT_EQ(f.form->Status.PlotRefreshMs, 1200.0f);
}

// ---- Re-entrancy -------------------------------------------------------------------

TEST(TickBusy, TicksDuringAMessageBoxOpenedByATickReturnAtOnce) {
  FakeSerialChannel channel;
  channel.openablePorts = {"ttyUSB9"};  // neither listed port opens
  ScriptedDialogs dialogs;  // lets ticks through while a box is up
  FakeTicks ticks;
  CountingBeeper beeper;
  FixedPortLister ports;
  ports.ports = {"ttyS0", "ttyUSB0"};
  RecordingDesktop desktop;
  RecordingClipboard clipboard;
  ScriptedParameterDialog parameters;
  FormA form(FormServices{channel, dialogs, ticks, beeper, ports, desktop, clipboard, parameters}, FormOptions{});
  form.Timer_LED->stop();
  ASSERT_TRUE(form.Search.Searching);

  std::vector<std::pair<int, int>> nested;
  dialogs.whileShown = [&] {
    for (int i = 0; i < 3; ++i) form.Timer_LEDTimer(form.Timer_LED);
    nested.emplace_back(form.Search.PortsLeft, form.Search.SearchTicks);
  };
  form.Timer_LEDTimer(form.Timer_LED);  // tries ttyUSB0, which does not open
  ASSERT_EQ(dialogs.shown.size(), 1u);
  // Inside the box the search had not moved on: still at ttyUSB0, tick count 0.
  EXPECT_EQ(nested, (std::vector<std::pair<int, int>>{{2, 0}}));
  EXPECT_FALSE(form.Status.TickBusy);
  EXPECT_EQ(form.Search.PortsLeft, 1);
  EXPECT_EQ(form.Search.SearchTicks, 1);
  // The guard is released: the following ticks run; ttyS0 has its turn on the 11th.
  for (int i = 0; i < 10; ++i) form.Timer_LEDTimer(form.Timer_LED);
  EXPECT_EQ(form.Search.PortsLeft, 0);
  EXPECT_EQ(dialogs.shown.size(), 2u);
  form.Shell.CloseAsked = false;
}

TEST(TickBusy, ATickWithoutTimerDoesNothing) {
  FormFixture f;
  f.form->Timer_LEDTimer(nullptr);
  EXPECT_EQ(f.form->Search.PortsLeft, 1);
  EXPECT_TRUE(f.channel.opened.empty());
}

}  // namespace
}  // namespace vireo::testing
