#include "control/setpoints.h"

#include <algorithm>

#include "control/number_entry.h"
#include "controller/protocol.h"
#include "shell/services.h"
#include "shell/shell_state.h"

namespace vireo {
namespace {

constexpr const char* kDegreeUnit = "\xB0" "C";
constexpr const char* kAboveMaximum =
    "The value entered is greater than the maximum allowed. \n\rThe maximum setting will be used instead.";
constexpr const char* kBelowMinimum =
    "The value entered is lower than the minimum allowed. \n\rThe minimum setting will be used instead.";
constexpr const char* kNegativeRate = "The negative rate entered will\r be changed to a positive value for use";
constexpr const char* kNegativeRateCaption = "Ramp rate must be positive";
constexpr const char* kRateTooLong = "The rate may have at most 9 characters.\nTry again.";

bool IsRamp(int kind) { return kind >= kKindRampSample && kind <= kKindRampBoth; }
bool NewerFirmware(const ControllerState& c) { return c.FirmwareVersion > 7.0f; }

// The first 19 characters, as the dialog's 20-byte buffers hold them.
std::string Buffered(const std::string& text) { return FixedText<20>(text).Str(); }

// A conversion that fails shows the toolkit's error box and ends the request.
std::optional<float> ReadFloat(const std::string& text, Dialogs& dialogs) {
  const std::optional<float> value = ConvertFloat(text);
  if (!value) dialogs.Message(FloatConversionError(text), kAppTitle, Buttons::Ok);
  return value;
}

std::optional<std::int32_t> ReadInteger(const std::string& text, Dialogs& dialogs) {
  const std::optional<std::int32_t> value = ConvertInteger(text);
  if (!value) dialogs.Message(IntegerConversionError(text), kAppTitle, Buttons::Ok);
  return value;
}

// The rate field holds 9 characters: a longer rate is refused rather than
// cut, since cutting a number can change its value.
bool RateFits(const ParameterEntry& entry, Dialogs& dialogs) {
  if (Buffered(entry.second).size() <= SetpointTexts{}.RampRateText.Capacity()) return true;
  dialogs.Message(kRateTooLong, kEntryErrorCaption, Buttons::Ok);
  return false;
}

void PlotInterval(const ParameterEntry& e, SetpointContext& c) {
  // The leading integer; no digits count as 0, and anything below 1 s as 1 s.
  const std::int32_t seconds = std::max(1, ParseLeadingInt(Buffered(e.first)).value_or(0));
  c.recording.PlotInterval = seconds;
  c.recording.PlotIntervalSetting = seconds;
  c.host.QueueReportInterval();
}

void Target(int kind, const ParameterEntry& e, SetpointContext& c) {
  const std::optional<float> entered = ReadFloat(e.first, c.dialogs);
  if (!entered) return;
  const float t = LimitTargetTemperature(*entered, c.controller, c.dialogs);
  const std::string text = Format("%.2f", static_cast<double>(t));
  ControllerState& s = c.controller;
  if (kind == kKindSampleTarget) {
    s.SampleTargetText = text;
    c.host.ShowTarget(false, text + " " + kDegreeUnit);
    c.host.Send(TargetCommand(kSampleAddress, t));
    // While a ramp runs, the display holds the new final target until the
    // controller's ramping set-point reaches it.
    if (s.TargetHold || c.rampActive) {
      s.TargetHold = true;
      s.FinalTarget = FloatOrZero(text);  // as sent, and as the controller reports it
    }
    ArmReminder(c.reminder);
    if (!c.host.Linked()) return;
  }
  s.ReferenceTargetText = text;
  c.host.ShowTarget(true, text + " " + kDegreeUnit);
  c.host.Send(TargetCommand(kReferenceAddress, t));
}

void Speed(int kind, const ParameterEntry& e, SetpointContext& c) {
  const std::optional<std::int32_t> entered = ReadInteger(Buffered(e.first), c.dialogs);
  if (!entered) return;
  const std::int32_t speed = LimitStirrerSpeed(*entered, c.controller, c.dialogs);
  const std::string text = Format("%d", speed);
  ControllerState& s = c.controller;
  if (kind == kKindSampleSpeed) {
    s.SampleSpeed = speed;
    s.SampleStirrerText = text;
    c.host.ShowSpeed(false, text + " rpm");
    c.host.Send(SetCommand(kSampleAddress, "SS", text));
    if (!c.host.Linked()) return;
  }
  s.ReferenceSpeed = speed;
  s.ReferenceStirrerText = text;
  c.host.ShowSpeed(true, text + " rpm");
  c.host.Send(SetCommand(kReferenceAddress, "SS", text));
}

void ReminderDelay(const ParameterEntry& e, SetpointContext& c) {
  const std::optional<float> minutes = ReadFloat(e.first, c.dialogs);
  if (!minutes) return;
  const float seconds = *minutes * 60.0f + 0.5f;
  std::int32_t delay = 2;  // less than a second counts as two
  if (seconds >= 2147483648.0f) {
    delay = INT32_MAX;
  } else if (seconds >= 1.0f) {
    delay = static_cast<std::int32_t>(seconds);
  }
  c.reminder.ReminderDelay = delay;
  c.texts.ReminderDelayText = Format("%d", delay / 60);
}

// The rate commands; false when the rate is unreadable or the user cancelled
// the negative-rate question.
bool RampRate(int kind, const ParameterEntry& e, SetpointContext& c) {
  ControllerState& s = c.controller;
  if (NewerFirmware(s)) {
    const RampStep& step = RampStepTable[static_cast<std::size_t>(
        std::clamp(e.rateRow, 0, static_cast<int>(RampStepTable.size()) - 1))];
    const std::string_view address = kind == kKindRampReference ? kReferenceAddress : kSampleAddress;
    c.host.Send(SetCommand(address, "RS", Format("%d", step.rs)));
    c.host.Send(SetCommand(address, "RT", Format("%d", step.rt)));
    c.rampActive = step.rs > 0 && step.rt > 0;
    return true;
  }
  // The typed rate goes to the controller as text: one that is no number
  // ("." or "-" pass the entry check) is refused before anything is sent.
  const std::string rate = Buffered(e.second);
  if (!ReadFloat(rate, c.dialogs)) return false;
  SetpointTexts& t = c.texts;
  t.RampRateText = rate;
  if (t.RampRateText.data[0] == '-') {
    t.RampRateText.data[0] = ' ';
    if (c.dialogs.Message(kNegativeRate, kNegativeRateCaption, Buttons::OkCancel) != Answer::Ok) return false;
  }
  const std::string command = SetCommand(kSampleAddress, "RR", t.RampRateText.View());
  if (kind != kKindRampReference) {
    s.SampleRampRateText = t.RampRateText.View();
    c.host.Send(command);
  }
  if (c.host.Linked() || kind != kKindRampSample) {
    c.host.Send(WithAddress(command, kReferenceAddress));
    s.ReferenceRampRateText = t.RampRateText.View();
  }
  c.rampActive = FloatOrZero(t.RampRateText.View()) > 0.0f;
  return true;
}

void Ramp(int kind, const ParameterEntry& e, SetpointContext& c) {
  ControllerState& s = c.controller;
  const bool twoHolder = s.TwoHolder();
  if (twoHolder && NewerFirmware(s)) c.host.Send(kind == kKindRampBoth ? "[F1 TL +]" : "[F1 TL -]");
  if (!RampRate(kind, e, c)) return;

  const std::optional<float> entered = ReadFloat(e.first, c.dialogs);
  if (!entered) return;  // the rate stays sent
  const float end = LimitTargetTemperature(*entered, s, c.dialogs);
  SetpointTexts& t = c.texts;
  t.RampEndText = Format("%.2f", static_cast<double>(end));
  const std::string command = SetCommand(kSampleAddress, "TT", t.RampEndText.View());
  // A reference-only ramp leaves the sample holder's target and its display alone.
  const bool toSample = !twoHolder || c.host.Linked() || kind != kKindRampReference;
  const bool toReference = twoHolder && (c.host.Linked() || kind != kKindRampSample);
  if (toSample) {
    s.SampleTargetText = t.RampEndText.View();
    s.FinalTarget = FloatOrZero(t.RampEndText.View());
    c.host.Send(command);
    c.host.ShowTarget(false, t.RampEndText.Str());
  }
  if (toReference) {
    c.host.Send(WithAddress(command, kReferenceAddress));
    c.host.ShowTarget(true, t.RampEndText.Str());
  }
  if (toSample) s.TargetHold = c.rampActive;
}

}  // namespace

ParameterRequest PrepareParameter(int kind, const SetpointContext& c) {
  const ControllerState& s = c.controller;
  ParameterRequest r;
  const std::string celsius = kDegreeUnit;
  switch (kind) {
    case kKindPlotInterval:
      r = {ParameterLayout::kSingle, "Plot Time-Interval", Format("%d", c.recording.PlotIntervalSetting), "sec", {}, {}};
      break;
    case kKindReferenceTarget:
      r = {ParameterLayout::kSingle, "Reference Holder Target Temperature", s.ReferenceTargetText.Str(), celsius, {}, {}};
      break;
    case kKindSampleTarget:
      r = {ParameterLayout::kSingle, "Sample Holder Target Temperature", s.SampleTargetText.Str(), celsius, {}, {}};
      break;
    case kKindReminderDelay:
      r = {ParameterLayout::kSingle, "Equilibration Reminder Delay Time", c.texts.ReminderDelayText.Str(), "Minutes",
           {}, {}};
      break;
    case kKindReferenceSpeed:
      r = {ParameterLayout::kSingle, "Reference Stirrer Speed", std::string(UpToFirstBlank(s.ReferenceStirrerText.View())),
           "rpm", {}, {}};
      break;
    case kKindSampleSpeed:
      r = {ParameterLayout::kSingle, "Sample Stirrer Speed ", std::string(UpToFirstBlank(s.SampleStirrerText.View())),
           "rpm", {}, {}};
      break;
    default:
      r.layout = NewerFirmware(s) ? ParameterLayout::kRampList : ParameterLayout::kRampBox;
      r.caption = "Ramping parameters";
      r.offered = c.texts.RampEndText.Str();
      r.unit = "End (" + celsius + ")";
      r.rateName = "Rate (" + celsius + "/min)";
      // At exactly 7.0 the box keeps whatever it holds.
      if (s.FirmwareVersion < 7.0f) r.offeredRate = c.texts.RampRateText.Str();
      break;
  }
  return r;
}

void EnterParameter(int kind, SetpointContext& c) {
  if (!(kind >= kKindPlotInterval && kind <= kKindSampleSpeed) && !IsRamp(kind)) return;
  c.dialog.Configure(PrepareParameter(kind, c));
  const bool typedRate = IsRamp(kind) && !NewerFirmware(c.controller);
  ParameterEntry entry;
  for (;;) {
    int result = 0;
    // Only the dialog's own refusals show it again: a dialog that returns at
    // once (the application is exiting) would otherwise be shown for ever.
    do {
      result = c.dialog.ShowModal();
    } while (result == kParameterFirstRefused || result == kParameterSecondRefused);
    if (result != kParameterOk) return;
    entry = c.dialog.Entry();
    if (!typedRate || RateFits(entry, c.dialogs)) break;
  }
  switch (kind) {
    case kKindPlotInterval:
      PlotInterval(entry, c);
      break;
    case kKindReferenceTarget:
    case kKindSampleTarget:
      Target(kind, entry, c);
      break;
    case kKindReminderDelay:
      ReminderDelay(entry, c);
      break;
    case kKindReferenceSpeed:
    case kKindSampleSpeed:
      Speed(kind, entry, c);
      break;
    default:
      Ramp(kind, entry, c);
      break;
  }
}

float LimitTargetTemperature(float value, const ControllerState& c, Dialogs& dialogs) {
  if (value > c.MaxTarget) {
    dialogs.Message(kAboveMaximum, "Target Temperature Error", Buttons::Ok);
    value = c.MaxTarget;
  }
  if (value < c.MinTarget) {
    dialogs.Message(kBelowMinimum, "Target Temperature Error", Buttons::Ok);
    value = c.MinTarget;
  }
  return value;
}

std::int32_t LimitStirrerSpeed(std::int32_t speed, const ControllerState& c, Dialogs& dialogs) {
  if (speed > c.MaxStirSpeed) {
    dialogs.Message(kAboveMaximum, "Stirrer Speed Error", Buttons::Ok);
    speed = c.MaxStirSpeed;
  }
  if (speed != 0 && speed < c.MinStirSpeed) {
    dialogs.Message(kBelowMinimum, "Stirrer Speed Error", Buttons::Ok);
    speed = c.MinStirSpeed;
  }
  return speed;
}

}  // namespace vireo
