#pragma once
// What the simulated temperature controller is: model, firmware, limits,
// attached probe and changer, speed of its clock and the faults it shows.
// Written as a comma-separated option text ("model=22,firmware=7.2,echo")
// by vireo-controller-sim and vireo --simulate.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vireo::sim {

struct ControllerLimits {
  double minTarget = -40.0;  // degrees C
  double maxTarget = 105.0;
  int minSpeed = 200;  // rpm
  int maxSpeed = 1400;
  double heLimit = 60.0;  // heat-exchanger limit, degrees C
};

struct ControllerConfig {
  std::string model = "24";  // two holders, extended model
  double firmware = 2.3;
  bool probeConnected = true;
  int changerPositions = 0;  // 0: as the model has ("30"/"31" 4, "32" 6, else none)

  // Limits different from the model's own.
  std::optional<double> minTarget, maxTarget, heLimit;
  std::optional<int> minSpeed, maxSpeed;

  bool echo = false;          // an echoing modem: returns every line unchanged, nothing else
  double acceleration = 1.0;  // simulated seconds per real second
  std::uint64_t seed = 1;     // of the measurement noise

  int injectError = 0;         // controller error number shown on the sample side, 0 none
  double errorAfterSeconds = 0;  // simulated seconds after start
  bool reportRestart = false;  // the first status answer says "restarted"
  std::string transcript;      // file that receives every byte sent, as it is sent; empty none
};

inline constexpr int kMaxChangerPositions = 99;
inline constexpr double kMaxAcceleration = 1000.0;

// The limits in force: the model's own, overridden by the config.
ControllerLimits EffectiveLimits(const ControllerConfig& config);
// Changer positions in force, 0 without changer.
int EffectiveChangerPositions(const ControllerConfig& config);
bool HasReferenceHolder(const ControllerConfig& config);

// Applies the options in `text` to `config`. On a bad option returns false,
// leaves `config` unchanged and says why in `error` (when given).
bool ParseControllerOptions(std::string_view text, ControllerConfig& config, std::string* error);

// The option keys, for --help and error messages.
const char* ControllerOptionsHelp();

}  // namespace vireo::sim
