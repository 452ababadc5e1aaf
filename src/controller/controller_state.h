#pragma once
// What the program knows about the connected controller: identity, features,
// limits, each holder's readings, targets and status, the probe and the
// cuvette changer. One program-wide record, written by the reply interpreter
// and by the control handlers.

#include <array>
#include <cstdint>

#include "control/text_helpers.h"

namespace vireo {

// Holder control states shown by the status LEDs.
enum ControlState : std::int32_t { kControlOff = 0, kControlSeeking = 1, kControlHolding = 2, kControlFault = 4 };

struct ControllerState {
  static constexpr std::size_t kProbeWindowSize = 20;

  FixedText<3> ModelId{"10"};
  float FirmwareVersion = 9.0f;
  bool BasicModel = false;
  bool HasTemperatureControl = false;
  bool HasStirrers = false;
  bool HasProbe = false;
  bool HasChanger = false;
  bool ReferenceShown = false;
  bool ProbePresent = false;
  // The lowest target starts at -40, the range every model supports, until
  // the identification reply says more.
  float MinTarget = -40.0f;
  float MaxTarget = 105.0f;
  std::int32_t MaxStirSpeed = 1400;
  std::int32_t MinStirSpeed = 200;
  float SampleHeLimit = 0.0f;
  float ReferenceHeLimit = 0.0f;
  std::int32_t PositionCount = 1;
  std::int32_t CuvettePosition = 1;
  std::int32_t RequestedPosition = 1;
  bool PositionSettled = true;
  float SampleTemperature = 0.0f;
  float ReferenceTemperature = 0.0f;
  float ProbeTemperature = 0.0f;
  float SampleTarget = 0.0f;
  float ReferenceTarget = 0.0f;
  float SampleHeTemperature = 0.0f;
  float ReferenceHeTemperature = 0.0f;
  std::int32_t SampleSpeed = 0;
  std::int32_t ReferenceSpeed = 0;
  FixedText<10> SampleTargetText{"20.00"};
  FixedText<10> ReferenceTargetText{"20.00"};
  FixedText<10> SampleStirrerText{"0"};
  FixedText<10> ReferenceStirrerText{"0"};
  FixedText<10> SampleRampRateText{"0.0"};
  FixedText<10> ReferenceRampRateText{"0.0"};
  bool SampleTcOn = false;
  bool ReferenceTcOn = false;
  bool SampleStirrerOn = false;
  bool ReferenceStirrerOn = false;
  bool SampleStable = false;
  bool ReferenceStable = false;
  std::int32_t SampleControlState = kControlOff;
  // A one-holder controller's reference counts as holding, so that
  // "both holders hold" depends on the sample holder alone.
  std::int32_t ReferenceControlState = kControlHolding;
  std::int32_t SampleFault = 0;
  std::int32_t ReferenceFault = 0;
  std::array<float, kProbeWindowSize> ProbeWindow{};
  std::int32_t ProbeWindowLast = -1;
  bool ControllerFound = false;
  bool EchoQueries = false;
  bool ModemWarningArmed = true;
  bool BoxFromReply = false;
  bool TargetHold = false;
  float FinalTarget = 0.0f;
  // A two-holder controller starts linked once per connection; identity
  // replies after a controller restart leave the link as the user left it.
  bool ReferenceLinkSet = false;

  bool TwoHolder() const { return ModelId.data[0] == '2'; }
  // The model answers the limit queries and reports heat-exchanger
  // temperatures (the non-basic models).
  bool Extended() const { return !BasicModel; }
};

// Which replies are copied into the display log.
struct ReplyLog {
  bool IS = true;
  bool CT = false;
  bool RT = false;
  bool PT = false;
  bool TT = true;
  bool HT = false;
  bool ER = true;
};

// Which readings sound the system beep.
struct ReadingBeep {
  bool Sample = false;
  bool Reference = false;
  bool Probe = false;
};

// The last 20 probe readings: their mean and mean absolute deviation, summed
// in single precision. Returns false until the window is full.
void PushProbeReading(ControllerState& state, float reading);
bool ProbeStatistics(const ControllerState& state, float& mean, float& deviation);

}  // namespace vireo
