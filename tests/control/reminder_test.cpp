// The equilibration reminder's counting: armed by a new target, it counts
// the seconds both holders hold, pauses while they seek, and calls the user
// back once at the delay, beeping every counted second from then on.
#include "control/reminder.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

struct Tick {
  Reminder r;
  ControllerState c;
  bool stopBeepEnabled = false;
  bool on = true;
  ReminderTickOutput Second() {
    ReminderTickOutput out = ReminderTick(r, c, {stopBeepEnabled, on});
    if (out.enableStopBeep) stopBeepEnabled = true;
    return out;
  }
  void Holding() { c.SampleControlState = c.ReferenceControlState = kControlHolding; }
};

TEST(Reminder, ArmingNeedsTheReminderSwitchedOn) {
  Reminder r;
  ArmReminder(r);
  EXPECT_EQ(r.ReminderState, kReminderOff);
  r.ReminderState = kReminderIdle;
  r.ReminderCount = 7;
  ArmReminder(r);
  EXPECT_EQ(r.ReminderState, kReminderArmed);
  EXPECT_EQ(r.ReminderCount, 0);
}

TEST(Reminder, CountsHeldSecondsPausesWhileSeekingAndCallsBackOnce) {
  Tick t;
  t.r.ReminderState = kReminderArmed;
  t.r.ReminderDelay = 5;
  t.Holding();
  auto out = t.Second();
  EXPECT_TRUE(out.enableStopBeep);
  EXPECT_EQ(out.countdownText, "0.07 min");  // 4 seconds left
  t.Second();
  t.c.SampleControlState = kControlSeeking;  // seeking pauses, does not reset
  out = t.Second();
  EXPECT_EQ(t.r.ReminderCount, 2);
  EXPECT_EQ(out.countdownText, "0.05 min");
  t.Holding();
  t.Second();
  t.Second();
  out = t.Second();  // the fifth held second
  EXPECT_TRUE(out.beep);
  EXPECT_TRUE(out.callUser);
  out = t.Second();
  EXPECT_TRUE(out.beep);       // beeps on every counted second
  EXPECT_FALSE(out.callUser);  // but calls back only once
}

TEST(Reminder, NoBeepWhenSwitchedOffAndNoCallBackAfterAnAcknowledgement) {
  Tick t;
  t.r.ReminderState = kReminderArmed;
  t.r.ReminderDelay = 1;
  t.r.ReminderToFront = false;  // the user acknowledged an earlier reminder
  t.Holding();
  auto out = t.Second();
  EXPECT_TRUE(out.beep);
  EXPECT_FALSE(out.callUser);
  t.on = false;
  EXPECT_FALSE(t.Second().beep);
}

TEST(Reminder, OneHolderControllersDependOnTheSampleAlone) {
  Tick t;  // the reference of a one-holder controller stays "holding"
  t.r.ReminderState = kReminderArmed;
  t.c.SampleControlState = kControlHolding;
  t.Second();
  EXPECT_EQ(t.r.ReminderCount, 1);
}

TEST(Reminder, ATargetReportDisarmsAndMarksTheSampleSeeking) {
  Reminder r;
  ControllerState c;
  r.ReminderState = kReminderArmed;
  r.ReminderCount = 40;
  c.SampleControlState = kControlHolding;
  ReminderTargetReport(r, c);
  EXPECT_EQ(r.ReminderState, kReminderIdle);
  EXPECT_EQ(r.ReminderCount, 0);
  EXPECT_EQ(c.SampleControlState, kControlSeeking);
  c.SampleControlState = kControlHolding;
  ReminderTargetReport(r, c);  // idle: nothing changes
  EXPECT_EQ(c.SampleControlState, kControlHolding);
  EXPECT_TRUE(ReminderStableReportShowsCountdown(r));
  r.ReminderState = kReminderOff;
  EXPECT_FALSE(ReminderStableReportShowsCountdown(r));
}

}  // namespace
}  // namespace vireo
