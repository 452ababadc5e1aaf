#include "control/reminder.h"

namespace vireo {

void ArmReminder(Reminder& r) {
  if (r.ReminderState == kReminderIdle) {
    r.ReminderState = kReminderArmed;
    r.ReminderCount = 0;
  }
}

void ReminderTargetReport(Reminder& r, ControllerState& state) {
  if (r.ReminderState == kReminderArmed) {
    r.ReminderState = kReminderIdle;
    r.ReminderCount = 0;
    state.SampleControlState = kControlSeeking;
  }
}

bool ReminderStableReportShowsCountdown(const Reminder& r) { return r.ReminderState != kReminderOff; }

ReminderTickOutput ReminderTick(Reminder& r, const ControllerState& state, const ReminderTickInput& in) {
  ReminderTickOutput out;
  const bool armed = r.ReminderState == kReminderArmed;
  if (state.SampleControlState == kControlHolding && state.ReferenceControlState == kControlHolding) {
    if (!in.stopBeepEnabled && armed) out.enableStopBeep = true;
    r.ReminderCount += 1;
    if (in.reminderOnChecked && armed && r.ReminderCount >= r.ReminderDelay) out.beep = true;
    if (r.ReminderToFront && armed && r.ReminderCount == r.ReminderDelay) out.callUser = true;
  }
  out.countdownText = Format("%.2f min", static_cast<double>(r.ReminderDelay - r.ReminderCount) / 60.0);
  return out;
}

}  // namespace vireo
