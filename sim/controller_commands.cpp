// The simulated controller's answers to each command code. A handler returns
// false for a command the instrument would refuse; the caller then answers
// with error 9 (format error).
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "control/text_helpers.h"
#include "controller/protocol.h"
#include "sim/controller_model.h"

namespace vireo::sim {

namespace {

constexpr int kMaxReportSeconds = 3600;
constexpr int kMaxRampParameter = 999;
constexpr double kMaxRampRate = 100.0;  // degrees C per minute
constexpr int kMaxDecimals = 4;

bool IsSwitch(std::string_view arg) { return arg == "+" || arg == "-"; }
const char* Sign(bool on) { return on ? "+" : "-"; }

// The value of a set command "S value"; blanks before the value are allowed.
std::optional<std::string_view> SetValue(std::string_view arg) {
  if (arg.size() < 3 || arg[0] != 'S' || arg[1] != ' ') return std::nullopt;
  return arg.substr(2);
}

std::optional<float> SetFloat(std::string_view arg) {
  const auto text = SetValue(arg);
  return text ? ParseLeadingFloat(*text) : std::nullopt;
}

std::optional<std::int32_t> SetInt(std::string_view arg) {
  const auto text = SetValue(arg);
  return text ? ParseLeadingInt(*text) : std::nullopt;
}

}  // namespace

// Commands for the controller as a whole (address F1).
bool ControllerModel::ControllerCommand(std::string_view code, std::string_view arg) {
  const bool query = arg == "?";
  // On/off settings that are only stored and answered back.
  const auto toggle = [&](bool& flag) {
    if (!query && !IsSwitch(arg)) return false;
    if (!query) flag = arg == "+";
    Send("F1", code, Sign(flag));
    return true;
  };
  if (code == "PS") {
    if (!query && !IsSwitch(arg)) return false;
    if (!query) autoProbe_ = arg == "+";  // "+": report when the probe is plugged or pulled
    probeReported_ = probeConnected_;
    Send("F1", "PR", Sign(probeConnected_));
    return true;
  }
  if (code == "FP") return toggle(fastPoll_);
  if (code == "PX") return toggle(probeAveraging_);
  if (code == "TL") return twoHolders_ && toggle(rampLinked_);
  if (code == "DP") {
    if (!query) {
      const auto digits = SetInt(arg);
      if (!digits || *digits < 0 || *digits > kMaxDecimals) return false;
      decimals_ = *digits;
    }
    Send("F1", "DP", std::to_string(decimals_));
    return true;
  }
  if (!query) return false;
  if (code == "VN") {
    Send("F1", "VN", Format("%.2f", config_.firmware));
  } else if (code == "ID") {
    Send("F1", "ID", config_.model);
  } else if (code == "FS") {
    // Temperature control, stirrers, probe input, changer, reference holder.
    Send("F1", "FS", std::string("+++") + Sign(positions_ > 0) + Sign(twoHolders_));
  } else if (code == "HL") {
    Send("F1", "HL", Format("%.2f", limits_.heLimit));
  } else if (code == "MT") {
    Send("F1", "MT", Format("%.2f", limits_.maxTarget));
  } else if (code == "LT") {
    Send("F1", "LT", Format("%.2f", limits_.minTarget));
  } else if (code == "MS") {
    Send("F1", "MS", std::to_string(limits_.maxSpeed));
  } else if (code == "LS") {
    Send("F1", "LS", std::to_string(limits_.minSpeed));
  } else {
    return false;
  }
  return true;
}

// Commands each holder has (address F1 or R1).
bool ControllerModel::HolderCommand(Holder h, std::string_view code, std::string_view arg) {
  HolderState& s = At(h);
  const std::string_view address = AddressOf(h);
  const bool query = arg == "?";
  if (code == "TT") return TargetCommand(h, arg);
  if (code == "SS") return StirrerCommand(h, arg);
  if (code == "CT") return ReportCommand(h, code, s.temperature, arg);
  if (code == "HT") return ReportCommand(h, code, s.exchanger, arg);
  if (code == "PT") return h == Holder::kSample && ReportCommand(h, code, probeReport_, arg);
  if (code == "RS" || code == "RT" || code == "RR") return RampCommand(h, code, arg);
  if (code == "TC") {
    if (!query && !IsSwitch(arg)) return false;
    const bool on = query ? s.controlOn : arg == "+";
    // A ramp switched on starts from where the block is.
    if (on && !s.controlOn && RampRate(h) > 0.0) s.thermal.SetSetpoint(s.thermal.Temperature());
    s.controlOn = on;
    Send(address, "TC", Sign(on));
    return true;
  }
  if (code == "IS") {
    if (!query && !IsSwitch(arg)) return false;
    if (!query) s.autoStatus = arg == "+";
    SendStatus(h);
    return true;
  }
  if (code == "ER") {
    if (query) {
      Send(address, "ER", std::to_string(s.pendingError));
      s.pendingError = 0;
      s.errorToReport = false;
    } else if (IsSwitch(arg)) {
      s.autoError = arg == "+";
      Send(address, "ER", arg);
    } else {
      return false;
    }
    return true;
  }
  return false;
}

bool ControllerModel::TargetCommand(Holder h, std::string_view arg) {
  HolderState& s = At(h);
  if (IsSwitch(arg)) {
    s.autoTarget = arg == "+";
  } else if (arg != "?") {
    const auto value = SetFloat(arg);
    if (!value) return false;
    s.target = std::clamp(static_cast<double>(*value), limits_.minTarget, limits_.maxTarget);
    if (RampRate(h) <= 0.0) {
      s.thermal.SetSetpoint(s.target);
    } else if (!s.controlOn) {
      s.thermal.SetSetpoint(s.thermal.Temperature());
    }
  }
  SendTarget(h);  // where the set-point stands: the start of a ramp
  return true;
}

bool ControllerModel::StirrerCommand(Holder h, std::string_view arg) {
  HolderState& s = At(h);
  if (IsSwitch(arg)) {
    s.stirrerOn = arg == "+";
    Send(AddressOf(h), "SS", arg);
    return true;
  }
  if (arg != "?") {
    const auto speed = SetInt(arg);
    if (!speed) return false;
    s.speed = std::clamp(static_cast<int>(*speed), limits_.minSpeed, limits_.maxSpeed);
  }
  Send(AddressOf(h), "SS", std::to_string(s.speed));
  return true;
}

// "?" reads once; "+N" answers with a reading and repeats it every N
// seconds; "-" (or "+0") stops the reports without an answer.
bool ControllerModel::ReportCommand(Holder h, std::string_view code, Report& report, std::string_view arg) {
  if (arg == "?") {
    SendReading(h, code);
    return true;
  }
  if (arg == "-") {
    report.intervalSeconds = 0;
    return true;
  }
  if (arg.size() < 2 || arg.size() > 5 || arg[0] != '+') return false;
  int seconds = 0;
  for (const char c : arg.substr(1)) {
    if (c < '0' || c > '9') return false;
    seconds = seconds * 10 + (c - '0');
  }
  if (seconds > kMaxReportSeconds) return false;
  report.intervalSeconds = seconds;
  if (seconds == 0) return true;
  report.dueMs = tickMs_ + std::uint64_t(seconds) * 1000;
  SendReading(h, code);
  return true;
}

// RS and RT (newer firmware: rate = 0.6 * RT / RS), RR (older firmware: the
// rate itself, "S rate" or bare). Both kinds are stored on every firmware;
// the firmware decides which one is in force.
bool ControllerModel::RampCommand(Holder h, std::string_view code, std::string_view arg) {
  HolderState& s = At(h);
  if (code == "RR") {
    if (arg != "?") {
      const auto rate = ParseLeadingFloat(SetValue(arg).value_or(arg));
      if (!rate || *rate < 0.0f || *rate > kMaxRampRate) return false;
      s.rampRate = *rate;
    }
    Send(AddressOf(h), "RR", Format("%.2f", s.rampRate));
    return true;
  }
  int& parameter = code == "RS" ? s.rampSteps : s.rampTime;
  if (arg != "?") {
    const auto value = SetInt(arg);
    if (!value || *value < 0 || *value > kMaxRampParameter) return false;
    parameter = *value;
  }
  Send(AddressOf(h), code, std::to_string(parameter));
  return true;
}

// The cuvette changer (address F2).
bool ControllerModel::ChangerCommand(std::string_view code, std::string_view arg) {
  if (code == "MP" && arg == "?") {
    Send("F2", "MP", std::to_string(positions_));
  } else if ((code == "DL" || code == "PL") && arg == "?") {
    Send("F2", "DL", std::to_string(changerPosition_));
  } else if (code == "DL" || code == "PL") {
    const auto position = ParseLeadingInt(arg);
    if (!position || *position < 1 || *position > positions_) return false;
    StartMove(*position, true);
  } else if (code == "DI" && arg.empty()) {
    Send("F2", "DI", "");
    StartMove(1, false);
  } else {
    return false;
  }
  return true;
}

// The changer takes about a second per position; a new move replaces one
// under way. Moves started by PL (or DL n) report their arrival with DL.
void ControllerModel::StartMove(int position, bool reportArrival) {
  const int distance = std::abs(position - changerPosition_);
  changerDestination_ = position;
  changerReportArrival_ = reportArrival;
  changerMoving_ = distance > 0;
  changerArrivalMs_ = tickMs_ + std::uint64_t(distance) * 1000;
  if (!changerMoving_ && reportArrival) Send("F2", "DL", std::to_string(position));
}

}  // namespace vireo::sim
