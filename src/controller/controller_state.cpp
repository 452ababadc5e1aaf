#include "controller/controller_state.h"

#include <cmath>

namespace vireo {

void PushProbeReading(ControllerState& state, float reading) {
  auto& window = state.ProbeWindow;
  const std::int32_t last = static_cast<std::int32_t>(window.size()) - 1;
  state.ProbeWindowLast += 1;
  if (state.ProbeWindowLast > last || state.ProbeWindowLast < 0) {
    for (std::size_t i = 0; i + 1 < window.size(); ++i) window[i] = window[i + 1];
    state.ProbeWindowLast = last;
  }
  window[static_cast<std::size_t>(state.ProbeWindowLast)] = reading;
}

bool ProbeStatistics(const ControllerState& state, float& mean, float& deviation) {
  if (state.ProbeWindowLast != static_cast<std::int32_t>(state.ProbeWindow.size()) - 1) return false;
  float sum = 0.0f;
  for (float v : state.ProbeWindow) sum += v;
  mean = sum * 0.05f;
  float spread = 0.0f;
  for (float v : state.ProbeWindow) spread += std::fabs(v - mean);
  deviation = spread * 0.05f;
  return true;
}

}  // namespace vireo
