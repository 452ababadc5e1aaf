#include "sim/thermal_model.h"

#include <algorithm>
#include <cmath>

namespace vireo::sim {

namespace {

constexpr double kFollowGain = 0.1;         // per second: the block's pull toward the set-point near it
constexpr double kDriftSeconds = 300.0;     // time constant toward ambient without control
constexpr double kExchangerSeconds = 60.0;  // time constant of the heat exchanger
constexpr double kProbeSeconds = 30.0;      // lag of the probe behind the holder
constexpr double kProbeLoss = 0.02;         // share of the holder's excess the cuvette loses

// Exponential approach over `seconds` with time constant `tau`.
double Approach(double value, double goal, double seconds, double tau) {
  return value + (goal - value) * std::min(1.0, seconds / tau);
}

}  // namespace

Noise::Noise(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}

double Noise::Next(double amplitude) {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  const std::uint64_t bits = (state_ * 0x2545F4914F6CDD1Dull) >> 11;  // 53 bits
  const double unit = static_cast<double>(bits) / static_cast<double>(1ull << 53);
  return (2.0 * unit - 1.0) * amplitude;
}

void HolderThermal::Step(double seconds, bool controlOn, double target, double rampPerMinute, Noise& noise) {
  const double maxStep = kMaxSlewPerMinute / 60.0 * seconds;
  double drive = 0.0;  // share of full power in use
  if (controlOn) {
    if (rampPerMinute > 0.0) {
      const double step = rampPerMinute / 60.0 * seconds;
      setpoint_ = setpoint_ < target ? std::min(target, setpoint_ + step) : std::max(target, setpoint_ - step);
    } else {
      setpoint_ = target;
    }
    const double move = std::clamp((setpoint_ - block_) * kFollowGain * seconds, -maxStep, maxStep);
    block_ += move;
    drive = maxStep > 0.0 ? std::abs(move) / maxStep : 0.0;
  } else {
    block_ = Approach(block_, kAmbient, seconds, kDriftSeconds);
  }
  // The exchanger takes the heat pumped out of the block: it warms while the
  // block is held below ambient and while the block is driven hard.
  double load = 0.0;
  if (controlOn) {
    load = 0.5 * std::max(0.0, kAmbient - block_) - 0.05 * std::max(0.0, block_ - kAmbient) + 3.0 * drive;
  }
  exchanger_ = Approach(exchanger_, kAmbient + load, seconds, kExchangerSeconds);
  noise_ = 0.6 * noise_ + noise.Next(0.02);

  const bool onTarget = controlOn && setpoint_ == target && std::abs(Temperature() - target) <= kStableBand;
  stableSeconds_ = onTarget ? std::min(stableSeconds_ + seconds, kStableSeconds) : 0.0;
}

void ProbeThermal::Step(double seconds, double holderTemperature, Noise& noise) {
  const double goal = holderTemperature - kProbeLoss * (holderTemperature - kAmbient);
  temperature_ = Approach(temperature_, goal, seconds, kProbeSeconds);
  noise_ = 0.6 * noise_ + noise.Next(0.01);
}

}  // namespace vireo::sim
