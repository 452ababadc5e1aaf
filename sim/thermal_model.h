#pragma once
// Physics of the simulated controller: a cuvette holder block driven toward
// its set-point, the heat exchanger carrying its load, and the external probe
// in the cuvette. Plain state stepped by the controller model's clock.

#include <cstdint>

namespace vireo::sim {

inline constexpr double kAmbient = 22.0;         // degrees C
inline constexpr double kMaxSlewPerMinute = 5.0;  // fastest the block can follow, degrees C per minute
inline constexpr double kStableBand = 0.1;       // within this of the target counts as on target ...
inline constexpr double kStableSeconds = 10.0;   // ... when held this long

// Deterministic noise source (xorshift64*), so a seed reproduces a run.
class Noise {
 public:
  explicit Noise(std::uint64_t seed);
  // Uniform in [-amplitude, amplitude].
  double Next(double amplitude);

 private:
  std::uint64_t state_;
};

class HolderThermal {
 public:
  // Advances by `seconds`. With control on, the set-point moves toward
  // `target` at `rampPerMinute` (0: at once) and the block follows it;
  // without control the block drifts toward ambient and the set-point stays
  // with the block, so a ramp switched on later starts where the block is.
  void Step(double seconds, bool controlOn, double target, double rampPerMinute, Noise& noise);

  // The set-point jumps to `value` (a new target without ramp).
  void SetSetpoint(double value) { setpoint_ = value; }

  double Temperature() const { return block_ + noise_; }  // as measured
  double Setpoint() const { return setpoint_; }
  double HeatExchanger() const { return exchanger_; }
  bool Stable() const { return stableSeconds_ >= kStableSeconds; }

 private:
  double block_ = kAmbient;
  double noise_ = 0.0;
  double setpoint_ = kAmbient;
  double exchanger_ = kAmbient;
  double stableSeconds_ = 0.0;
};

// The probe sits in the cuvette: it follows the holder with a lag and stays
// a little closer to ambient than the block.
class ProbeThermal {
 public:
  void Step(double seconds, double holderTemperature, Noise& noise);
  double Temperature() const { return temperature_ + noise_; }

 private:
  double temperature_ = kAmbient;
  double noise_ = 0.0;
};

}  // namespace vireo::sim
