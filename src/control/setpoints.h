#pragma once
// Giving the controller and the recorder a value through the parameter
// dialog: target temperatures, stirrer speeds, ramps, the reminder delay and
// the plot interval. One routine offers the current value, converts and
// limits what the user accepts, and sends the commands; the window only
// maps its controls to a kind and shows the results (through the host).

#include <array>
#include <cstdint>
#include <string>

#include "control/parameter_dialog.h"
#include "control/reminder.h"
#include "control/text_helpers.h"
#include "controller/controller_state.h"
#include "recording/recording_state.h"

namespace vireo {

class Dialogs;

enum ParameterKind : int {
  kKindPlotInterval = 101,
  kKindReferenceTarget = 102,
  kKindSampleTarget = 103,
  kKindReminderDelay = 104,
  kKindReferenceSpeed = 105,
  kKindSampleSpeed = 106,
  kKindRampSample = 201,
  kKindRampReference = 202,
  kKindRampBoth = 203,
};

// The rows of the dialog's rate list and the controller ramp values each
// stands for (firmware above 7.0): rate = 0.6 * RT / RS degrees per minute.
struct RampStep {
  const char* text;
  std::int32_t rs;
  std::int32_t rt;
};
inline constexpr std::array<RampStep, 22> RampStepTable{{
    {"off", 0, 0},  {"0.05", 12, 1}, {"0.10", 6, 1}, {"0.15", 4, 1}, {"0.2", 3, 1},  {"0.3", 4, 2},
    {"0.4", 3, 2},  {"0.5", 6, 5},   {"0.6", 3, 3},  {"0.7", 6, 7},  {"0.8", 3, 4},  {"0.9", 6, 9},
    {"1.0", 3, 5},  {"1.2", 3, 6},   {"1.4", 3, 7},  {"1.6", 3, 8},  {"1.8", 3, 9},  {"2.0", 3, 10},
    {"2.5", 6, 25}, {"3.0", 3, 15},  {"4.0", 3, 20}, {"5.0", 3, 25},
}};
inline constexpr int kInitialRateRow = 6;  // "0.4"

// The texts the dialog offers next time.
struct SetpointTexts {
  FixedText<10> RampEndText{"50"};
  FixedText<10> RampRateText{"0.5"};  // typed rate, firmware 7.0 and below
  FixedText<16> ReminderDelayText{"25"};  // whole minutes
};

// What the window does for the routine.
class SetpointHost {
 public:
  virtual ~SetpointHost() = default;
  virtual void Send(const std::string& command) = 0;  // echoed to the display log
  virtual void ShowTarget(bool reference, const std::string& caption) = 0;
  virtual void ShowSpeed(bool reference, const std::string& caption) = 0;
  virtual void QueueReportInterval() = 0;  // the poll step that sends the report intervals
  // "Link Reference to Sample" is checked; read once the value is accepted,
  // since the controller's identification may link the holders meanwhile.
  virtual bool Linked() const = 0;
};

struct SetpointContext {
  ControllerState& controller;
  SetpointTexts& texts;
  Reminder& reminder;
  RecordingState& recording;
  bool& rampActive;
  Dialogs& dialogs;
  ParameterDialog& dialog;
  SetpointHost& host;
};

// The dialog's caption, texts and layout for a kind.
ParameterRequest PrepareParameter(int kind, const SetpointContext& c);
// Shows the dialog until the entry is well-formed or cancelled, then applies it.
void EnterParameter(int kind, SetpointContext& c);

// Values beyond the controller's limits are replaced by the limit after a message.
float LimitTargetTemperature(float value, const ControllerState& c, Dialogs& dialogs);
// A speed of 0 (stirrer idle) passes; anything else is held within the limits.
std::int32_t LimitStirrerSpeed(std::int32_t speed, const ControllerState& c, Dialogs& dialogs);

}  // namespace vireo
