#pragma once
// The equilibration reminder: after a new sample target it waits until both
// holders hold their temperature for the configured delay, then calls the
// user back (window raised, plot coloured, a beep every second).

#include <cstdint>
#include <string>

#include "controller/controller_state.h"

namespace vireo {

enum ReminderMode : std::int32_t { kReminderIdle = -1, kReminderOff = 0, kReminderArmed = 1 };

struct Reminder {
  std::int32_t ReminderState = kReminderOff;
  std::int32_t ReminderCount = 0;  // seconds held since arming
  bool ReminderToFront = true;
  std::int32_t ReminderDelay = 1500;  // seconds
};

// A new sample target was accepted, or sample temperature control switched on.
void ArmReminder(Reminder& r);
// The controller reported a sample target: an armed reminder starts over.
void ReminderTargetReport(Reminder& r, ControllerState& state);
// The controller reported the sample holder stable: the countdown label is
// shown unless the reminder is off.
bool ReminderStableReportShowsCountdown(const Reminder& r);

// One second of the reminder, while the sample holder seeks or holds.
struct ReminderTickInput {
  bool stopBeepEnabled;  // "Stop Beeping" is enabled
  bool reminderOnChecked;
};
struct ReminderTickOutput {
  bool enableStopBeep = false;
  bool beep = false;
  bool callUser = false;  // raise the window, colour the plot, hide the countdown
  std::string countdownText;  // "%.2f min" of the time left
};
ReminderTickOutput ReminderTick(Reminder& r, const ControllerState& state, const ReminderTickInput& in);

}  // namespace vireo
