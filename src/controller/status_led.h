#pragma once
// The holder status LEDs of the poll cycle: text, colours and blinking from
// a holder's control state, once per 200 ms tick.

#include <cstdint>
#include <optional>
#include <string>

#include "recording/plot_canvas.h"

namespace vireo {

inline constexpr PlotColour kGreen{0, 255, 0};
inline constexpr PlotColour kRed{255, 0, 0};
inline constexpr PlotColour kSilver{192, 192, 192};
inline constexpr PlotColour kBlue{0, 0, 255};
inline constexpr PlotColour kOrange{255, 147, 0};
inline constexpr PlotColour kBlack{0, 0, 0};
inline constexpr PlotColour kWhite{255, 255, 255};
inline constexpr PlotColour kYellow{255, 255, 0};
inline constexpr PlotColour kAqua{0, 255, 255};

// Per holder, kept between ticks.
struct LedBlink {
  std::int32_t Ticks = 0;  // ticks counted while seeking or holding, 0 to 5
  bool Phase = false;      // which half of the blink
};

// What one tick changes; unset fields stay as they are.
struct LedUpdate {
  std::optional<std::string> text;
  std::optional<PlotColour> labelColour;
  std::optional<PlotColour> ledColour;
};

// `reference` selects the reference holder's texts ("holding " with a
// trailing blank, "Ref: " before a fault).
LedUpdate UpdateLed(std::int32_t controlState, std::int32_t fault, float firmware, bool reference, LedBlink& blink);

struct StatusDisplay {
  bool TickBusy = false;
  LedBlink Sample;
  LedBlink Reference;
  float PlotRefreshMs = 0.0f;
};

}  // namespace vireo
