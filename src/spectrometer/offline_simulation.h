#pragma once
// The simulated experiment of offline work: with neither controller nor
// instrument, the spectrometer window shows a six-cell melt. Each tick of the
// main window's timer warms the sample by a step, moves a simulated changer
// and asks for a reading; the simulated instrument answers from a melting
// curve that each cell follows with its own delay, scale and offset. The
// readings take the same record path as real ones, so table, plots and
// display log fill as in a real run.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "controller/controller_state.h"
#include "spectrometer/spectrometer_table.h"

namespace vireo {

inline constexpr std::size_t kSimulationHistory = 50;
inline constexpr double kSimulationStartGauss = 2.7e-07;

// The simulated instrument's curve: the running area under a Gaussian around
// t = 5.5, plus a slow rise, kept for the last 50 readings so that later
// cells can show it late.
struct SimulatedInstrument {
  float StepTime = 0.0f;                         // t
  double PreviousGauss = kSimulationStartGauss;  // g0
  double Area = 0.0;                             // A
  std::array<float, kSimulationHistory> History{};  // oldest first

  void EmptyHistory() { History.fill(0.0f); }
};

// How each cell (changer position 1 to 6) shows the curve.
struct CellResponse {
  std::size_t delay;  // readings behind the newest
  double scale;
  double offset;
};
inline constexpr std::array<CellResponse, kCellCount> kCellResponses{{
    {0, 1.0, 0.103},
    {20, 0.89, 0.111},
    {32, 0.80, 0.117},
    {40, 0.75, 0.121},
    {45, 0.73, 0.123},
    {48, 0.71, 0.124},
}};

// One answer of the simulated instrument for the cell at `position`, as the
// instrument's reading reply "d %.4f". A pending restart (restarts above 0)
// uses one count and starts the curve again. A position outside 1 to 6
// answers as the nearest cell.
std::string SimulatedReading(SimulatedInstrument& instrument, std::int32_t& restarts, int position);

// What a simulation step needs of the windows around it.
class SimulationHost {
 public:
  virtual ~SimulationHost() = default;
  // The spectrometer window's reading request: "S" or "P" with the
  // time/temperature text; offline it is answered by SimulatedReading.
  virtual void RequestReading(char letter, std::string_view report) = 0;
  virtual void AppendToDisplayLog(int level, std::string_view text) = 0;
  // Adds a record line to series 1 (sample holder) or 3 (probe).
  virtual void AppendSeriesLine(int series, std::string_view record) = 0;
  virtual void RedrawPlot() = 0;
  virtual int LoopLevel() const = 0;
};

// One tick of the simulated experiment. It runs while the simulated time is
// below 14.01 minutes or a restart is pending; a stopped simulation
// (restarts -1) is parked at 15 minutes.
void SimulationStep(SpectrometerWindowState& window, ControllerState& controller, SimulationHost& host);

}  // namespace vireo
