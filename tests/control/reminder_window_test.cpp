// The equilibration reminder in the main window, on the test clock: a new
// target held for the 25-minute delay calls the user back.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>

#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

TEST(ReminderWindow, TwentyFiveMinutesHeldCallTheUserBack) {
  FormFixture f;
  f.ConnectAndAnswer();
  f.RunStartup();
  FormA& w = *f.form;
  w.M_Plot_StopClick(w.M_Plot_Stop);  // no live redraws over the half hour
  w.M_EquilRem_OnOffClick(w.M_EquilRem_On);
  ASSERT_EQ(w.EquilReminder.ReminderDelay, 1500);
  w.M_Tools_TC_OnOff_Click(w.M_Tools_TC1_On);  // arms the reminder
  f.Receive("[F1 IS 0-+S]\r\n");               // holding
  ASSERT_FALSE(w.M_EquilRem_StopBeep->isEnabled());
  w.showMinimized();

  f.Tick(5);
  EXPECT_TRUE(w.M_EquilRem_StopBeep->isEnabled());
  EXPECT_FALSE(w.Label_SplBeepCountdown->isHidden());
  EXPECT_EQ(w.Label_SplBeepCountdown->text().toStdString(), "24.98 min");
  f.Tick(5 * 60);
  EXPECT_EQ(w.Label_SplBeepCountdown->text().toStdString(), "23.98 min");

  f.Tick(5 * (1499 - 61));
  EXPECT_EQ(w.Label_SplBeepCountdown->text().toStdString(), "0.02 min");
  EXPECT_EQ(f.beeper.beeps, 0);
  EXPECT_TRUE(w.isMinimized());
  EXPECT_EQ(w.Renderer.PlotBackground, kWhite);

  f.Tick(5);  // the 1500th held second
  EXPECT_EQ(f.beeper.beeps, 1);
  EXPECT_FALSE(w.isMinimized());
  EXPECT_EQ(w.Renderer.PlotBackground, kAqua);
  EXPECT_TRUE(w.Label_SplBeepCountdown->isHidden());
  f.Tick(5);
  EXPECT_EQ(f.beeper.beeps, 2);
}

}  // namespace
}  // namespace vireo::testing
