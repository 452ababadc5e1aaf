#include "sim/controller_options.h"

#include "sim/option_text.h"

namespace vireo::sim {

ControllerLimits EffectiveLimits(const ControllerConfig& config) {
  ControllerLimits limits;
  const std::string& m = config.model;
  if (m == "12" || m == "22") {
    limits.minTarget = -55.0;
    limits.maxTarget = 150.0;
  }
  if (m == "13") limits.minSpeed = 0;
  if (config.minTarget) limits.minTarget = *config.minTarget;
  if (config.maxTarget) limits.maxTarget = *config.maxTarget;
  if (config.minSpeed) limits.minSpeed = *config.minSpeed;
  if (config.maxSpeed) limits.maxSpeed = *config.maxSpeed;
  if (config.heLimit) limits.heLimit = *config.heLimit;
  return limits;
}

int EffectiveChangerPositions(const ControllerConfig& config) {
  if (config.changerPositions > 0) return config.changerPositions;
  if (config.model == "30" || config.model == "31") return 4;
  if (config.model == "32") return 6;
  return 0;
}

bool HasReferenceHolder(const ControllerConfig& config) { return config.model[0] == '2'; }

namespace {

bool ReadInt(std::string_view text, int low, int high, int& value) {
  return ReadNumber(text, value) && value >= low && value <= high;
}

// A switch given bare ("echo") or as 0/1.
bool ReadFlag(std::string_view text, bool bare, bool& value) {
  if (bare || text == "1") {
    value = true;
    return true;
  }
  if (text == "0") {
    value = false;
    return true;
  }
  return false;
}

bool IsModelId(std::string_view text) {
  return text.size() == 2 && text[0] >= '0' && text[0] <= '9' && text[1] >= '0' && text[1] <= '9';
}

// Applies one key=value; false when the key is unknown or the value invalid.
bool ApplyOption(std::string_view key, std::string_view value, bool bare, ControllerConfig& c) {
  double real = 0;
  int integer = 0;
  if (key == "echo") return ReadFlag(value, bare, c.echo);
  if (key == "restart") return ReadFlag(value, bare, c.reportRestart);
  if (bare) return false;
  if (key == "model") {
    if (!IsModelId(value)) return false;
    c.model = std::string(value);
  } else if (key == "firmware") {
    if (!ReadReal(value, 0.01, 99.99, c.firmware)) return false;
  } else if (key == "probe") {
    return ReadFlag(value, false, c.probeConnected);
  } else if (key == "changer") {
    if (!ReadInt(value, 0, kMaxChangerPositions, c.changerPositions)) return false;
  } else if (key == "mintarget" || key == "maxtarget") {
    if (!ReadReal(value, -100.0, 300.0, real)) return false;
    (key == "mintarget" ? c.minTarget : c.maxTarget) = real;
  } else if (key == "minspeed" || key == "maxspeed") {
    if (!ReadInt(value, 0, 10000, integer)) return false;
    (key == "minspeed" ? c.minSpeed : c.maxSpeed) = integer;
  } else if (key == "helimit") {
    if (!ReadReal(value, -50.0, 200.0, real)) return false;
    c.heLimit = real;
  } else if (key == "accel") {
    if (!ReadReal(value, 0.01, kMaxAcceleration, c.acceleration)) return false;
  } else if (key == "seed") {
    return ReadNumber(value, c.seed);
  } else if (key == "error") {
    if (!ReadInt(value, 0, 10, c.injectError)) return false;
  } else if (key == "errorafter") {
    if (!ReadReal(value, 0.0, 1e6, c.errorAfterSeconds)) return false;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseControllerOptions(std::string_view text, ControllerConfig& config, std::string* error) {
  ControllerConfig candidate = config;
  std::string bad;
  if (!ForEachOption(
          text, [&](std::string_view key, std::string_view value, bool bare) { return ApplyOption(key, value, bare, candidate); },
          bad)) {
    if (error) *error = "Invalid controller option \"" + bad + "\"";
    return false;
  }
  const ControllerLimits limits = EffectiveLimits(candidate);
  if (limits.minTarget >= limits.maxTarget || limits.minSpeed > limits.maxSpeed) {
    if (error) *error = "Controller limits: the minimum must be below the maximum";
    return false;
  }
  config = candidate;
  return true;
}

const char* ControllerOptionsHelp() {
  return "Simulated temperature controller options, comma-separated (e.g. model=22,firmware=7.2,accel=20):\n"
         "  model=ID          two-digit model identifier (default 24: two holders, extended model)\n"
         "                    first digit 1 one holder, 2 two holders, 3 one holder with changer\n"
         "  firmware=V        firmware version (default 2.3; above 7.0 ramps with RS/RT)\n"
         "  probe=0|1         external probe connected (default 1)\n"
         "  changer=N         cuvette changer positions, 0 = as the model has (30/31: 4, 32: 6)\n"
         "  mintarget=T       lowest target in C (default -40, models 12/22 -55)\n"
         "  maxtarget=T       highest target in C (default 105, models 12/22 150)\n"
         "  minspeed=N        lowest stirrer speed in rpm (default 200, model 13 0)\n"
         "  maxspeed=N        highest stirrer speed in rpm (default 1400)\n"
         "  helimit=T         heat-exchanger limit in C (default 60)\n"
         "  accel=F           time acceleration: simulated seconds per real second (default 1)\n"
         "  seed=N            seed of the measurement noise (default 1)\n"
         "  error=N           inject controller error N (1-10) on the sample holder\n"
         "  errorafter=S      ... S simulated seconds after start (default 0)\n"
         "  restart           the first status answer reports a restart\n"
         "  echo              act as an echoing modem: every line comes back unchanged\n";
}

}  // namespace vireo::sim
