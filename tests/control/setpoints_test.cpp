// Entering targets, stirrer speeds, ramps, the plot interval and the reminder
// delay: what the dialog offers, how the entry is converted and limited, and
// the exact commands sent, in order, with what the window is told to show.
#include "control/setpoints.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace vireo::testing {
namespace {

using Events = std::vector<std::string>;

// Records everything the routine asks of the window, in order.
class RecordingHost final : public SetpointHost {
 public:
  void Send(const std::string& command) override { events.push_back(command); }
  void ShowTarget(bool reference, const std::string& caption) override {
    events.push_back((reference ? "R target " : "S target ") + caption);
  }
  void ShowSpeed(bool reference, const std::string& caption) override {
    events.push_back((reference ? "R speed " : "S speed ") + caption);
  }
  void QueueReportInterval() override { events.push_back("step 100"); }
  bool Linked() const override { return linked; }
  Events Take() { return std::exchange(events, {}); }
  Events events;
  bool linked = false;
};

class Setpoints : public ::testing::Test {
 protected:
  Setpoints() { reminder.ReminderState = kReminderIdle; }
  // Runs a request with the dialog answering OK with the given boxes.
  Events Enter(int kind, std::string first, std::string second = {}, int row = 0) {
    dialog.Ok(std::move(first), std::move(second), row);
    return Run(kind);
  }
  Events Run(int kind) {
    SetpointContext c{controller, texts, reminder, recording, rampActive, dialogs, dialog, host};
    EnterParameter(kind, c);
    return host.Take();
  }
  ParameterRequest Request(int kind) {
    SetpointContext c{controller, texts, reminder, recording, rampActive, dialogs, dialog, host};
    return PrepareParameter(kind, c);
  }
  void TwoHolder(float firmware) {
    controller.ModelId = "20";
    controller.FirmwareVersion = firmware;
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& m : dialogs.shown) texts.push_back(m.caption + ": " + m.text);
    dialogs.shown.clear();
    return texts;
  }

  ControllerState controller;
  SetpointTexts texts;
  Reminder reminder;
  RecordingState recording;
  bool rampActive = false;
  ScriptedDialogs dialogs;
  ScriptedParameterDialog dialog;
  RecordingHost host;
};

const std::string kAboveMax =
    "The value entered is greater than the maximum allowed. \n\rThe maximum setting will be used instead.";
const std::string kBelowMin =
    "The value entered is lower than the minimum allowed. \n\rThe minimum setting will be used instead.";

TEST_F(Setpoints, TheDialogOffersEachKindItsCaptionValueAndUnit) {
  controller.SampleStirrerText = "1250 rpm";
  controller.ReferenceStirrerText = "800 rpm";
  controller.SampleTargetText = "37.50";
  recording.PlotInterval = 0;  // stopped: the interval to resume with is offered
  recording.PlotIntervalSetting = 5;
  const struct {
    int kind;
    const char* caption;
    const char* offered;
    const char* unit;
  } cases[] = {
      {101, "Plot Time-Interval", "5", "sec"},
      {102, "Reference Holder Target Temperature", "20.00", "\xB0" "C"},
      {103, "Sample Holder Target Temperature", "37.50", "\xB0" "C"},
      {104, "Equilibration Reminder Delay Time", "25", "Minutes"},
      {105, "Reference Stirrer Speed", "800", "rpm"},
      {106, "Sample Stirrer Speed ", "1250", "rpm"},
      {203, "Ramping parameters", "50", "End (\xB0" "C)"},
  };
  for (const auto& c : cases) {
    const ParameterRequest r = Request(c.kind);
    EXPECT_EQ(r.caption, c.caption);
    EXPECT_EQ(r.offered, c.offered) << c.kind;
    EXPECT_EQ(r.unit, c.unit) << c.kind;
    EXPECT_EQ(r.layout == ParameterLayout::kSingle, c.kind < 200) << c.kind;
  }
  // The ramp's rate: a list above 7.0, a typed rate below, an untouched box at 7.0.
  const struct {
    float firmware;
    ParameterLayout layout;
    std::optional<std::string> rate;
  } ramps[] = {{7.1f, ParameterLayout::kRampList, std::nullopt},
               {7.0f, ParameterLayout::kRampBox, std::nullopt},
               {6.9f, ParameterLayout::kRampBox, std::string("0.5")}};
  for (const auto& r : ramps) {
    controller.FirmwareVersion = r.firmware;
    const ParameterRequest request = Request(201);
    EXPECT_EQ(request.layout, r.layout) << r.firmware;
    EXPECT_EQ(request.offeredRate, r.rate) << r.firmware;
    EXPECT_EQ(request.rateName, "Rate (\xB0" "C/min)");
  }
}

TEST_F(Setpoints, RefusedEntriesReopenTheDialogAndOnlyOkApplies) {
  dialog.presses = {{kParameterFirstRefused, {}}, {kParameterSecondRefused, {}}, {kParameterOk, {"30", "", 0}}};
  EXPECT_EQ(Run(103), (Events{"S target 30.00 \xB0" "C", "[F1 TT S 30.00]"}));
  EXPECT_EQ(dialog.shows, 3);
  EXPECT_EQ(dialog.requests.size(), 1u);  // configured once, shown unchanged
  dialog.presses = {{kParameterFirstRefused, {}}, {kParameterCancel, {"40", "", 0}}};
  EXPECT_TRUE(Run(103).empty());
  EXPECT_EQ(controller.SampleTargetText, "30.00");
}

// Once the application is told to exit, every modal dialog returns at once
// with 0: only the dialog's own refusals may show it again.
TEST_F(Setpoints, AnyResultButTheDialogsRefusalsIsCancel) {
  for (const int result : {0, -3, 3}) {
    SCOPED_TRACE(result);
    dialog.shows = 0;
    dialog.presses = {{result, {"30", "", 0}}, {kParameterOk, {"40", "", 0}}};
    EXPECT_TRUE(Run(103).empty());
    EXPECT_EQ(dialog.shows, 1);
    dialog.presses.clear();
  }
}

TEST_F(Setpoints, SampleTargetIsLimitedShownSentAndArmsTheReminder) {
  EXPECT_EQ(Enter(103, "200"), (Events{"S target 105.00 \xB0" "C", "[F1 TT S 105.00]"}));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Target Temperature Error: " + kAboveMax});
  EXPECT_EQ(controller.SampleTargetText, "105.00");
  EXPECT_EQ(reminder.ReminderState, kReminderArmed);

  EXPECT_EQ(Enter(103, "-3.5"), (Events{"S target -3.50 \xB0" "C", "[F1 TT S -3.50]"}));
  EXPECT_EQ(Enter(103, "-80"), (Events{"S target -40.00 \xB0" "C", "[F1 TT S -40.00]"}));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Target Temperature Error: " + kBelowMin});
}

TEST_F(Setpoints, LinkedSampleTargetGoesToBothHoldersWithOneMessage) {
  host.linked = true;
  EXPECT_EQ(Enter(103, "1e5"), (Events{"S target 105.00 \xB0" "C", "[F1 TT S 105.00]", "R target 105.00 \xB0" "C",
                                       "[R1 TT S 105.00]"}));
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(controller.ReferenceTargetText, "105.00");
}

TEST_F(Setpoints, TheLinkIsReadWhenTheValueIsApplied) {
  dialog.whileShown = [this] { host.linked = true; };  // the controller identified itself meanwhile
  EXPECT_EQ(Enter(103, "30"), (Events{"S target 30.00 \xB0" "C", "[F1 TT S 30.00]", "R target 30.00 \xB0" "C",
                                      "[R1 TT S 30.00]"}));
}

TEST_F(Setpoints, ReferenceTargetDoesNotArmTheReminder) {
  EXPECT_EQ(Enter(102, "+.5"), (Events{"R target 0.50 \xB0" "C", "[R1 TT S 0.50]"}));
  EXPECT_EQ(reminder.ReminderState, kReminderIdle);
  EXPECT_EQ(controller.SampleTargetText, "20.00");
}

TEST_F(Setpoints, UnreadableNumbersEndTheRequestWithTheConversionError) {
  const std::string title = "Vireo(S) - Temperature Control Application: ";
  const struct {
    int kind;
    const char* text;
    std::string message;
  } cases[] = {
      {103, ".", title + "'.' is not a valid floating point value"},
      {102, "1e3-", title + "'1e3-' is not a valid floating point value"},
      {104, "e", title + "'e' is not a valid floating point value"},
      {106, "2.5", title + "'2.5' is not a valid integer value"},
      {105, "1e3", title + "'1e3' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(Enter(c.kind, c.text).empty()) << c.text;
    EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
  }
  EXPECT_EQ(reminder.ReminderState, kReminderIdle);
  EXPECT_EQ(reminder.ReminderDelay, 1500);
}

TEST_F(Setpoints, StirrerSpeedsKeepZeroAndAreHeldWithinTheLimits) {
  const struct {
    const char* entered;
    const char* sent;
    int messages;
  } cases[] = {{"0", "0", 0}, {"50", "200", 1}, {"-5", "200", 1}, {"1250", "1250", 0}, {"5000", "1400", 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Enter(106, c.entered),
              (Events{std::string("S speed ") + c.sent + " rpm", std::string("[F1 SS S ") + c.sent + "]"}));
    EXPECT_EQ(Messages().size(), static_cast<std::size_t>(c.messages)) << c.entered;
  }
  EXPECT_EQ(controller.SampleSpeed, 1400);
  host.linked = true;
  EXPECT_EQ(Enter(106, "50"), (Events{"S speed 200 rpm", "[F1 SS S 200]", "R speed 200 rpm", "[R1 SS S 200]"}));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Stirrer Speed Error: " + kBelowMin});
  EXPECT_EQ(Enter(105, "300"), (Events{"R speed 300 rpm", "[R1 SS S 300]"}));
  EXPECT_EQ(controller.ReferenceStirrerText, "300");
  EXPECT_EQ(controller.SampleSpeed, 200);
}

TEST_F(Setpoints, PlotIntervalTakesTheLeadingWholeSecondsAndAsksForTheReportStep) {
  const struct {
    const char* entered;
    int seconds;
  } cases[] = {{"0", 1}, {"-4", 1}, {".5", 1}, {"2.7", 2}, {"10", 10}, {"1e3", 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Enter(101, c.entered), Events{"step 100"}) << c.entered;
    EXPECT_EQ(recording.PlotInterval, c.seconds) << c.entered;
    EXPECT_EQ(recording.PlotIntervalSetting, c.seconds);
  }
}

TEST_F(Setpoints, ReminderDelayIsEnteredInMinutesAndKeptInSeconds) {
  const struct {
    const char* minutes;
    int seconds;
    const char* offeredNext;
  } cases[] = {{"0", 2, "0"}, {"2.5", 150, "2"}, {"-3", 2, "0"}, {"0.01", 1, "0"}, {"90", 5400, "90"},
               {"1e30", INT32_MAX, "35791394"}};
  for (const auto& c : cases) {
    EXPECT_TRUE(Enter(104, c.minutes).empty());
    EXPECT_EQ(reminder.ReminderDelay, c.seconds) << c.minutes;
    EXPECT_EQ(Request(104).offered, c.offeredNext) << c.minutes;
  }
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Setpoints, RampToBothHoldersOnNewerFirmware) {
  TwoHolder(7.2f);
  EXPECT_EQ(Enter(203, "37", "", 7), (Events{"[F1 TL +]", "[F1 RS S 6]", "[F1 RT S 5]", "[F1 TT S 37.00]",
                                             "S target 37.00", "[R1 TT S 37.00]", "R target 37.00"}));
  EXPECT_TRUE(rampActive);
  EXPECT_TRUE(controller.TargetHold);
  EXPECT_EQ(controller.FinalTarget, 37.0f);
  EXPECT_EQ(controller.SampleTargetText, "37.00");
  EXPECT_EQ(controller.ReferenceTargetText, "20.00");  // the reference's own report updates it
  EXPECT_EQ(texts.RampEndText, "37.00");
}

TEST_F(Setpoints, ReferenceOnlyRampOffLeavesTheSampleAlone) {
  TwoHolder(7.2f);
  rampActive = true;
  EXPECT_EQ(Enter(202, "45", "", 0),
            (Events{"[F1 TL -]", "[R1 RS S 0]", "[R1 RT S 0]", "[R1 TT S 45.00]", "R target 45.00"}));
  EXPECT_FALSE(rampActive);
  EXPECT_FALSE(controller.TargetHold);
  EXPECT_EQ(controller.SampleTargetText, "20.00");
}

// A sample ramp in progress keeps holding its display and its end while the
// reference holder alone gets a ramp of its own.
TEST_F(Setpoints, ReferenceOnlyRampLeavesTheSampleHoldAndEndAlone) {
  TwoHolder(7.2f);
  controller.TargetHold = true;
  controller.FinalTarget = 60.0f;
  for (const int row : {0, 7}) {
    SCOPED_TRACE(row);
    Enter(202, "45", "", row);
    EXPECT_TRUE(controller.TargetHold);
    EXPECT_EQ(controller.FinalTarget, 60.0f);
  }
}

TEST_F(Setpoints, SampleRampOnOneHolderSendsNoLinkCommand) {
  controller.FirmwareVersion = 7.2f;
  EXPECT_EQ(Enter(201, "60", "", 21), (Events{"[F1 RS S 3]", "[F1 RT S 25]", "[F1 TT S 60.00]", "S target 60.00"}));
  EXPECT_TRUE(controller.TargetHold);
}

TEST_F(Setpoints, EveryRateRowSendsItsExactStepAndTime) {
  static constexpr int kRsRt[22][2] = {{0, 0},  {12, 1}, {6, 1},  {4, 1},  {3, 1},  {4, 2},  {3, 2},  {6, 5},
                                      {3, 3},  {6, 7},  {3, 4},  {6, 9},  {3, 5},  {3, 6},  {3, 7},  {3, 8},
                                      {3, 9},  {3, 10}, {6, 25}, {3, 15}, {3, 20}, {3, 25}};
  controller.FirmwareVersion = 7.2f;
  for (int row = 0; row < 22; ++row) {
    SCOPED_TRACE(row);
    const Events sent = Enter(201, "40", "", row);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], "[F1 RS S " + std::to_string(kRsRt[row][0]) + "]");
    EXPECT_EQ(sent[1], "[F1 RT S " + std::to_string(kRsRt[row][1]) + "]");
  }
}

TEST_F(Setpoints, EveryRateRowGivesItsRate) {
  for (const RampStep& step : RampStepTable) {
    const double rate = step.rs > 0 ? 0.6 * step.rt / step.rs : 0.0;
    EXPECT_NEAR(rate, step.text == std::string("off") ? 0.0 : std::stod(step.text), 1e-9) << step.text;
  }
}

TEST_F(Setpoints, OlderFirmwareSendsTheTypedRateToTheHoldersItConcerns) {
  TwoHolder(6.5f);
  EXPECT_EQ(Enter(201, "30", "0.25"), (Events{"[F1 RR S 0.25]", "[F1 TT S 30.00]", "S target 30.00"}));
  EXPECT_EQ(Enter(202, "30", "0.3"), (Events{"[R1 RR S 0.3]", "[R1 TT S 30.00]", "R target 30.00"}));
  EXPECT_EQ(controller.SampleRampRateText, "0.25");
  EXPECT_EQ(controller.ReferenceRampRateText, "0.3");
  host.linked = true;
  EXPECT_EQ(Enter(201, "30", "0"), (Events{"[F1 RR S 0]", "[R1 RR S 0]", "[F1 TT S 30.00]", "S target 30.00",
                                           "[R1 TT S 30.00]", "R target 30.00"}));
  EXPECT_FALSE(rampActive);
  EXPECT_FALSE(controller.TargetHold);
}

TEST_F(Setpoints, NegativeRateIsMadePositiveOnlyWhenTheUserAgrees) {
  controller.FirmwareVersion = 6.5f;
  EXPECT_EQ(Enter(201, "30", "-0.5"), (Events{"[F1 RR S  0.5]", "[F1 TT S 30.00]", "S target 30.00"}));
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "Ramp rate must be positive: The negative rate entered will\r be changed to a positive "
                            "value for use"});
  EXPECT_EQ(dialogs.shown.size(), 0u);
  EXPECT_TRUE(rampActive);
  EXPECT_EQ(Request(201).offeredRate, std::string(" 0.5"));

  rampActive = false;
  dialogs.answers = {Answer::Cancel};
  EXPECT_TRUE(Enter(201, "40", "-1").empty());
  EXPECT_FALSE(rampActive);
  EXPECT_EQ(texts.RampRateText, " 1");
  EXPECT_EQ(texts.RampEndText, "30.00");
}

TEST_F(Setpoints, TypedRateThatIsNoNumberIsRefusedBeforeAnythingIsSent) {
  controller.FirmwareVersion = 6.5f;
  for (const char* rate : {".", "-", "e", "1e3-"}) {
    EXPECT_TRUE(Enter(201, "30", rate).empty()) << rate;
    EXPECT_EQ(Messages(), std::vector<std::string>{"Vireo(S) - Temperature Control Application: '" +
                                                   std::string(rate) + "' is not a valid floating point value"});
  }
  EXPECT_EQ(texts.RampRateText, "0.5");
  EXPECT_EQ(texts.RampEndText, "50");
}

TEST_F(Setpoints, RateLongerThanItsFieldIsRefusedAndTheDialogReopens) {
  controller.FirmwareVersion = 6.5f;
  dialog.Ok("30", "0.50000001");
  dialog.Ok("30", "0.5");
  EXPECT_EQ(Run(201), (Events{"[F1 RR S 0.5]", "[F1 TT S 30.00]", "S target 30.00"}));
  EXPECT_EQ(dialog.shows, 2);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Entry error: The rate may have at most 9 characters.\nTry again."});
}

TEST_F(Setpoints, UnreadableEndTemperatureLeavesTheRateSentAndTheTargetAlone) {
  TwoHolder(7.2f);
  EXPECT_EQ(Enter(201, ".", "", 12), (Events{"[F1 TL -]", "[F1 RS S 3]", "[F1 RT S 5]"}));
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "Vireo(S) - Temperature Control Application: '.' is not a valid floating point value"});
  EXPECT_TRUE(rampActive);
  EXPECT_FALSE(controller.TargetHold);
  EXPECT_EQ(texts.RampEndText, "50");
}

TEST_F(Setpoints, ATargetDuringARampHoldsTheDisplayUntilTheNewTarget) {
  rampActive = true;
  controller.TargetHold = false;
  controller.FinalTarget = 37.0f;
  Enter(103, "40.004");
  EXPECT_TRUE(controller.TargetHold);
  EXPECT_EQ(controller.FinalTarget, 40.0f);  // the value sent, as the controller will report it
  rampActive = false;
  Enter(103, "45");
  EXPECT_EQ(controller.FinalTarget, 45.0f);
}

}  // namespace
}  // namespace vireo::testing
