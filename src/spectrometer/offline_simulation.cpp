#include "spectrometer/offline_simulation.h"

#include <algorithm>
#include <cmath>

#include "control/text_helpers.h"

namespace vireo {
namespace {

constexpr float kRunEndMinutes = 14.01f;
constexpr float kParkedMinutes = 15.0f;
constexpr float kStartTemperature = 15.0f;
constexpr float kStepMinutes = 0.1f;
constexpr float kProbeBelowSample = 0.5f;

}  // namespace

std::string SimulatedReading(SimulatedInstrument& s, std::int32_t& restarts, int position) {
  if (restarts > 0) {
    --restarts;
    s.StepTime = 0.0f;
    s.PreviousGauss = kSimulationStartGauss;
    s.Area = 0.0;
  }
  const double u = static_cast<double>(s.StepTime) - 5.5;
  const double g = std::exp(-0.5 * u * u);
  s.Area += 0.5 * (g + s.PreviousGauss);
  s.PreviousGauss = g;
  std::rotate(s.History.begin(), s.History.begin() + 1, s.History.end());
  s.History.back() = static_cast<float>(0.01 * (0.1 * static_cast<double>(s.StepTime) + s.Area));
  s.StepTime += kStepMinutes;

  // A script may have set a position the simulated changer does not have.
  const CellResponse& cell = kCellResponses[static_cast<std::size_t>(std::clamp(position, 1, kCellCount) - 1)];
  const double value = cell.scale * static_cast<double>(s.History[kSimulationHistory - 1 - cell.delay]) + cell.offset;
  return Format("d %.4f", value);
}

void SimulationStep(SpectrometerWindowState& w, ControllerState& controller, SimulationHost& host) {
  if (!(w.SimulationTime < kRunEndMinutes || w.SimulationRestarts > 0)) return;
  if (w.SimulationRestarts == -1) {
    w.SimulationTime = kParkedMinutes;
    return;
  }
  if (w.SimulationRestarts > 0) {
    --w.SimulationRestarts;
    w.SimulationTime = 0.0f;
    w.SimulationTemperature = kStartTemperature;
    controller.CuvettePosition = 1;
  }

  const auto time = static_cast<double>(w.SimulationTime);
  const auto temperature = static_cast<double>(w.SimulationTemperature);
  const std::string report = Format("%.2f\t%.2f", time, temperature);
  if (w.RecordProbe && controller.PositionSettled) {
    host.RequestReading('P', report);
    if (w.SixCellMode) {
      host.AppendToDisplayLog(-1, "[F1 PT ?]");
      host.AppendToDisplayLog(-1, Format("...[F1 PT %.2f]", temperature));
    }
  } else if (w.RecordSample && controller.PositionSettled) {
    host.RequestReading('S', report);
    if (w.SixCellMode) {
      host.AppendToDisplayLog(-1, "[F1 CT ?]");
      host.AppendToDisplayLog(-1, Format("...[F1 CT %.2f]", temperature));
    }
  }

  host.AppendSeriesLine(3, Format("%.2f\t%.2f", time, static_cast<double>(w.SimulationTemperature - kProbeBelowSample)));
  host.AppendSeriesLine(1, report);
  host.RedrawPlot();

  w.SimulationTime += kStepMinutes;
  w.SimulationTemperature = w.SimulationTime + kStartTemperature;

  if (w.SixCellMode) {
    controller.CuvettePosition = controller.CuvettePosition >= kCellCount ? 1 : controller.CuvettePosition + 1;
    const int level = host.LoopLevel();
    host.AppendToDisplayLog(level, Format("[F2 PL %d]", controller.CuvettePosition));
    host.AppendToDisplayLog(level, Format("...[F2 DL %d]", controller.CuvettePosition));
    host.AppendToDisplayLog(level, "[*D 8]");
  }
}

}  // namespace vireo
