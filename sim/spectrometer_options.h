#pragma once
// What the simulated spectrophotometer measures: a sample that melts in two
// states, the noise of its readings and where the sample temperature comes
// from. Written as a comma-separated option text ("tm=60,noise=0.001") by
// vireo-spectrometer-sim.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vireo::sim {

// Where the end of a reading's work (EOT) goes: in a write of its own after
// the reading, in the reading's last write, before the reading, or any of
// these at random.
enum class EotPlacement { Apart, Joined, Before, Mixed };

// How a real instrument on a USB adapter behaves, all off by default.
struct SpectrometerManners {
  bool split = false;                         // replies in 2 or 3 writes, 1 to 20 ms apart
  EotPlacement eot = EotPlacement::Apart;
  std::uint32_t ackDelayMs = 0;               // ENQ answered after this (0: in the same write)
  std::uint32_t cycleMs = 500;                // "d" until its reading
  float powerUpWavelength = 550.0f;           // nm, until the first "w"
  double faults = 0.0;                        // share of replies with a lost or garbage byte
  std::string readingsLog;                    // file: one line per reading sent; empty none
};

struct SpectrometerConfig {
  double meltingTemperature = 55.0;  // degrees C: half the sample melted
  double enthalpy = 250.0;           // van 't Hoff enthalpy of melting, kJ/mol
  double noise = 0.002;              // standard deviation of a reading, absorbance
  std::uint64_t seed = 1;            // of the noise
  // The sample temperature in degrees C, asked at each reading and zeroing
  // (from the server thread when served: what it reads must outlive the
  // server, e.g. a ControllerServer declared before the SpectrometerServer).
  std::function<float()> sampleTemperature = [] { return 25.0f; };
  SpectrometerManners manners{};
};

// A sample temperature that starts at `start` and moves at `ratePerMinute`
// toward `end`, where it stays; a rate of 0 keeps it at `start`.
struct SampleRamp {
  double start = 25.0;
  double ratePerMinute = 0.0;
  double end = 95.0;

  double At(double minutes) const;
};

// Applies the options in `text`: tm, dh, noise and seed to `config`,
// temperature, ramp and end to `ramp`. On a bad option returns false, leaves
// both unchanged and says why in `error` (when given).
bool ParseSpectrometerOptions(std::string_view text, SpectrometerConfig& config, SampleRamp& ramp, std::string* error);

// The option keys, for --help and error messages.
const char* SpectrometerOptionsHelp();

}  // namespace vireo::sim
