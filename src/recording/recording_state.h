#pragma once
// When and how often temperatures are recorded, and the series' time base.

#include <cstdint>

namespace vireo {

struct RecordingState {
  std::int32_t PlotInterval = 3;         // report interval asked of the controller; 0 while stopped
  std::int32_t PlotIntervalSetting = 3;  // the interval to resume with
  std::uint32_t TimeBase = 0;            // tick count at which elapsed time is 0
  bool TimeBaseResetPending = false;     // the next reading restarts the time base
  bool LivePlot = false;                 // redraw the plot once a second
  bool OfflineMode = false;              // "Work Offline" was chosen; never cleared
};

}  // namespace vireo
