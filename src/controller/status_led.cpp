#include "controller/status_led.h"

#include "control/text_helpers.h"
#include "controller/controller_state.h"

namespace vireo {

LedUpdate UpdateLed(std::int32_t controlState, std::int32_t fault, float firmware, bool reference, LedBlink& blink) {
  LedUpdate u;
  bool blinkNow = false;
  const bool older = firmware < 7.0f;
  switch (controlState) {
    case kControlOff:
      u.text = "off";
      u.labelColour = kBlue;
      u.ledColour = kSilver;
      break;
    case kControlSeeking:
      u.text = "seeking";
      blink.Ticks += 1;
      blinkNow = blink.Ticks >= 5;
      break;
    case kControlHolding:
      u.text = reference ? "holding " : "holding";
      blink.Ticks += 1;
      u.ledColour = older ? kGreen : kRed;
      break;
    case kControlFault:
      u.text = Format("%sFault (ER %d)", reference ? "Ref: " : "", fault);
      blinkNow = true;
      break;
    default:
      break;
  }
  if (blinkNow) {
    const bool fault4 = controlState == kControlFault;
    if (blink.Phase) {
      u.ledColour = older && !fault4 ? kGreen : kRed;
      if (fault4) u.labelColour = kRed;
    } else {
      u.ledColour = kSilver;
      if (fault4) u.labelColour = kBlue;
    }
    blink.Phase = !blink.Phase;
  }
  return u;
}

}  // namespace vireo
