// The window's side of entering values: which control asks for which value,
// what is shown and sent, the reminder and plot-interval hooks, and the
// reminder calling the user back without changing the window's state.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "controller/reply_test_helpers.h"

namespace vireo::testing {
namespace {

class ParameterEntry : public ConnectedWindow {
 protected:
  ParameterEntry() { Reply("[F1 FS +++--]"); Sent(); }
  ScriptedParameterDialog& Dialog() { return f.parameters; }
  std::string LastCaption() { return Dialog().requests.empty() ? "" : Dialog().requests.back().caption; }
};

TEST_F(ParameterEntry, EveryControlAsksForItsValue) {
  const std::string target = "Sample Holder Target Temperature";
  const std::string refTarget = "Reference Holder Target Temperature";
  const std::string speed = "Sample Stirrer Speed ";
  const std::string refSpeed = "Reference Stirrer Speed";
  const std::string ramp = "Ramping parameters";
  FormA& w = W();
  const std::vector<std::pair<QObject*, std::string>> controls = {
      {w.M_Plot_TimeInterval, "Plot Time-Interval"},
      {w.M_EquilRem_Delay, "Equilibration Reminder Delay Time"},
      {w.M_Tools_TC1_Target, target},     {w.M_Tools_TC_Spl_Target, target},  {w.Btn_S_TargetChange, target},
      {w.M_Tools_TC_Ref_Target, refTarget}, {w.Btn_R_TargetChange, refTarget},
      {w.M_Tools_SC1_Speed, speed},       {w.M_Tools_SC_Spl_Speed, speed},    {w.Btn_S_StirChange, speed},
      {w.M_Tools_SC_Ref_Speed, refSpeed}, {w.Btn_R_StirChange, refSpeed},
      {w.M_Tools_Ramp_1, ramp},           {w.M_Tools_Ramp_Sample, ramp},      {w.M_Tools_Ramp_Reference, ramp},
      {w.M_Tools_Ramp_Both, ramp},
  };
  for (const auto& [control, caption] : controls) {
    Dialog().requests.clear();
    if (auto* item = qobject_cast<QAction*>(control)) {
      item->trigger();
    } else {
      qobject_cast<QPushButton*>(control)->click();
    }
    EXPECT_EQ(LastCaption(), caption) << control->objectName().toStdString();
  }
  EXPECT_TRUE(Sent().empty());  // every request was cancelled
  Dialog().requests.clear();
  w.M_ParameterEntry(w.M_Plot_Stop);
  w.M_ParameterEntry(nullptr);
  EXPECT_TRUE(Dialog().requests.empty());
}

TEST_F(ParameterEntry, TargetDialogsHideTheCountdownOthersLeaveIt) {
  const struct {
    QPushButton* button;
    bool hides;
  } cases[] = {{W().Btn_S_TargetChange, true}, {W().Btn_R_TargetChange, true}, {W().Btn_S_StirChange, false}};
  for (const auto& c : cases) {
    W().Label_SplBeepCountdown->show();
    c.button->click();
    EXPECT_EQ(W().Label_SplBeepCountdown->isHidden(), c.hides);
  }
}

TEST_F(ParameterEntry, AcceptedSampleTargetIsShownEchoedSentAndArmsTheReminder) {
  W().M_EquilRem_On->trigger();
  Dialog().Ok("37");
  W().Btn_S_TargetChange->click();
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 TT S 37.00]"});
  EXPECT_EQ(Text(W().L_S_TargetT), "37.00 \xB0" "C");
  EXPECT_EQ(f.DisplayLog().back(), "[F1 TT S 37.00]");
  EXPECT_EQ(W().EquilReminder.ReminderState, kReminderArmed);

  Dialog().Ok("1250");
  W().M_Tools_SC1_Speed->trigger();
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 SS S 1250]"});
  EXPECT_EQ(Text(W().L_S_StirSpeed), "1250 rpm");
}

TEST_F(ParameterEntry, RampItemsFollowTheLink) {
  Reply("[F1 ID 20]");  // a two-holder controller starts linked
  ASSERT_TRUE(W().M_Tools_Link_RtoS->isChecked());
  Sent();
  Dialog().Ok("37", "", 7);
  W().M_Tools_Ramp_1->trigger();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 TL +]", "[F1 RS S 6]", "[F1 RT S 5]", "[F1 TT S 37.00]",
                                              "[R1 TT S 37.00]"}));
  EXPECT_EQ(Text(W().L_S_TargetT), "37.00");
  EXPECT_EQ(Text(W().L_R_TargetT), "37.00");

  W().M_Tools_Link_RtoS->trigger();
  Sent();
  Dialog().Ok("30", "", 0);
  W().M_Tools_Ramp_Sample->trigger();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 TL -]", "[F1 RS S 0]", "[F1 RT S 0]", "[F1 TT S 30.00]"}));
  Dialog().Ok("30", "", 0);
  W().M_Tools_Ramp_Reference->trigger();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 TL -]", "[R1 RS S 0]", "[R1 RT S 0]", "[R1 TT S 30.00]"}));
  // "Sample and Reference" ramps both holders whether or not they are linked.
  Dialog().Ok("35", "", 7);
  W().M_Tools_Ramp_Both->trigger();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 TL +]", "[F1 RS S 6]", "[F1 RT S 5]", "[F1 TT S 35.00]",
                                              "[R1 TT S 35.00]"}));
}

TEST_F(ParameterEntry, LinkingAfterATypedRampGivesTheReferenceTheSampleRate) {
  Reply("[F1 VN 6.50]");
  Reply("[F1 ID 20]");
  W().M_Tools_Link_RtoS->trigger();  // unlink
  Sent();
  Dialog().Ok("30", "0.5");
  W().M_Tools_Ramp_Sample->trigger();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 RR S 0.5]", "[F1 TT S 30.00]"}));
  ASSERT_TRUE(W().RampActive);
  W().M_Tools_Link_RtoS->trigger();
  const std::vector<std::string> sent = Sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "[R1 RR S 0.5]"), sent.end());
  EXPECT_EQ(C().ReferenceRampRateText, "0.5");
}

TEST_F(ParameterEntry, PlotIntervalGoesOutThroughTheReportStep) {
  f.RunStartup();
  Sent();
  W().QueueStep(kStepReportInterval);  // already waiting: not queued twice, and it sends the new interval
  Dialog().Ok("5");
  W().M_Plot_TimeInterval->trigger();
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(W().Steps.PendingCount, 1);
  const std::vector<std::string> sent = f.RunStartup();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "[F1 CT +5]"), sent.end());
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "[F1 CT +5]"), 1);
}

TEST_F(ParameterEntry, CancellingTheIntervalWhileStoppedKeepsThePlotStopped) {
  W().M_Plot_Stop->trigger();
  ASSERT_EQ(W().Recording.PlotInterval, 0);
  W().M_Plot_TimeInterval->trigger();  // offers the interval to resume with, then cancelled
  EXPECT_EQ(Dialog().requests.back().offered, "3");
  EXPECT_EQ(W().Recording.PlotInterval, 0);
}

TEST_F(ParameterEntry, ReminderDelayCountsAndTheCallBackKeepsAMaximizedWindowMaximized) {
  W().showMaximized();
  W().M_EquilRem_On->trigger();
  Dialog().Ok("0.05");  // 3 seconds
  W().M_EquilRem_Delay->trigger();
  ASSERT_EQ(W().EquilReminder.ReminderDelay, 3);
  Dialog().Ok("25");
  W().M_Tools_TC1_Target->trigger();
  Reply("[F1 IS 0-+S]");  // holding
  f.Tick(5);
  EXPECT_EQ(Text(W().Label_SplBeepCountdown), "0.03 min");
  f.Tick(10);
  EXPECT_EQ(f.beeper.beeps, 1);
  EXPECT_EQ(W().Renderer.PlotBackground, kAqua);
  EXPECT_TRUE(W().isMaximized());
  EXPECT_TRUE(W().isVisible());
}

}  // namespace
}  // namespace vireo::testing
