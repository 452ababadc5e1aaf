// The temperature-control and stirrer toggles and the reference-to-sample
// link: what the user's clicks and menu choices send, and that the
// controller's own reports send nothing back.
#include <QAction>
#include <QCheckBox>

#include "controller/reply_test_helpers.h"
#include "shell/widgets.h"

namespace vireo::testing {
namespace {

using Toggles = ConnectedWindow;

TEST_F(Toggles, MenuChoiceSendsOnceThroughTheBox) {
  W().M_Tools_TC1_On->trigger();
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 TC +]"});
  EXPECT_TRUE(W().CkB_SController_On->isChecked());
  EXPECT_TRUE(W().M_Tools_TC_Spl_On->isChecked());
  EXPECT_FALSE(W().M_Tools_TC1_Off->isChecked());
  EXPECT_TRUE(C().SampleTcOn);

  W().M_Tools_TC_Spl_Off->trigger();
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 TC -]"});
  EXPECT_FALSE(C().SampleTcOn);
  EXPECT_EQ(C().SampleControlState, kControlOff);
  EXPECT_EQ(FontColour(W().L_S_LED), kBlue);

  W().M_Tools_SC1_On->trigger();
  W().M_Tools_SC_Ref_On->trigger();
  W().M_Tools_SC_Ref_On->trigger();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 SS +]", "[R1 SS +]"}));
  EXPECT_TRUE(C().ReferenceStirrerOn);
}

TEST_F(Toggles, OnWhileAlreadyOnSendsNothingButSeeksAgainAndArmsTheReminder) {
  W().EquilReminder.ReminderState = kReminderIdle;
  Reply("[F1 IS 0-+S]");
  ASSERT_TRUE(W().CkB_SController_On->isChecked());
  ASSERT_EQ(C().SampleControlState, kControlHolding);
  ASSERT_FALSE(W().Label_SplBeepCountdown->isHidden());  // the stable report shows the countdown
  W().EquilReminder.ReminderState = kReminderIdle;
  W().EquilReminder.ReminderCount = 5;
  W().M_Tools_TC_Spl_On->trigger();
  EXPECT_TRUE(Sent().empty());
  EXPECT_FALSE(C().SampleStable);
  EXPECT_EQ(C().SampleControlState, kControlSeeking);
  EXPECT_EQ(W().EquilReminder.ReminderState, kReminderArmed);
  EXPECT_EQ(W().EquilReminder.ReminderCount, 0);
  EXPECT_TRUE(W().Label_SplBeepCountdown->isHidden());
}

TEST_F(Toggles, ReferenceControlDoesNotArmTheReminder) {
  W().EquilReminder.ReminderState = kReminderIdle;
  W().M_Tools_TC_Ref_On->trigger();
  EXPECT_EQ(Sent(), std::vector<std::string>{"[R1 TC +]"});
  EXPECT_EQ(C().ReferenceControlState, kControlSeeking);
  EXPECT_EQ(W().EquilReminder.ReminderState, kReminderIdle);
  Click(W().CkB_RController_On);
  EXPECT_EQ(Sent(), std::vector<std::string>{"[R1 TC -]"});
  EXPECT_EQ(FontColour(W().L_R_LED), kBlue);
}

TEST_F(Toggles, LinkedSampleClickSwitchesTheReferenceToo) {
  Reply("[F1 ID 20]");
  Sent();
  Click(W().CkB_SController_On);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 TC +]", "[R1 TC +]"}));
  EXPECT_TRUE(C().ReferenceTcOn);
  Click(W().CkB_S_StirrerOn);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 SS +]", "[R1 SS +]"}));
  W().M_Tools_TC1_Off->trigger();
  W().M_Tools_SC1_Off->trigger();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 TC -]", "[R1 TC -]", "[F1 SS -]", "[R1 SS -]"}));
  EXPECT_FALSE(C().ReferenceTcOn);
  EXPECT_FALSE(C().ReferenceStirrerOn);
}

TEST_F(Toggles, LinkingCopiesTheSampleSettingsToTheReference) {
  Reply("[F1 ID 20]");
  W().M_Tools_Link_RtoS->trigger();  // unlink: nothing is sent (nor by the identity's link)
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(C().ReferenceShown);
  EXPECT_TRUE(FormA::Visible(W().M_Tools_Ramp_3));
  EXPECT_FALSE(FormA::Visible(W().M_Tools_Ramp_1));

  Reply("[F1 SS 1250]");
  Reply("[F1 TT 31.00]");
  W().M_Tools_Link_RtoS->trigger();  // no ramp active: no ramp rate
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[R1 TT S 31.00]", "[R1 SS S 1250]"}));
  EXPECT_EQ(Text(W().L_R_StirSpeed), "1250 rpm");
  EXPECT_EQ(C().ReferenceStirrerText, "1250 rpm");
  EXPECT_EQ(Text(W().L_R_TargetT), "31.00 \xB0" "C");
  EXPECT_EQ(C().ReferenceTargetText, "20.00");  // the reference's own report updates it
  EXPECT_FALSE(C().ReferenceShown);
  EXPECT_TRUE(W().GrB_R_Holder->isHidden());

  W().M_Tools_Link_RtoS->trigger();
  Click(W().CkB_SController_On);
  Click(W().CkB_S_StirrerOn);
  Reply("[F1 RR 0.5]");
  W().RampActive = true;
  Sent();
  W().M_Tools_Link_RtoS->trigger();
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[R1 TC +]", "[R1 RR S 0.5]", "[R1 TT S 31.00]", "[R1 SS S 1250]",
                                              "[R1 SS +]"}));
  EXPECT_EQ(C().ReferenceRampRateText, "0.5");
  EXPECT_FALSE(C().BoxFromReply);
}

}  // namespace
}  // namespace vireo::testing
