#include "sim/controller_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <utility>

#include "control/text_helpers.h"

namespace vireo::sim {

namespace {

constexpr std::uint32_t kTickMs = 100;
// Longer than any command; a frame that grows past it is dropped.
constexpr std::size_t kMaxFrame = 200;
// While a ramp moves the set-point, automatic target reports come at most this often.
constexpr std::uint64_t kTargetReportMs = 5000;
constexpr double kPowerOnTarget = 20.0;
constexpr int kPowerOnSpeed = 800;

}  // namespace

ControllerModel::ControllerModel(const ControllerConfig& config)
    : config_(config),
      limits_(EffectiveLimits(config)),
      positions_(EffectiveChangerPositions(config)),
      twoHolders_(HasReferenceHolder(config)),
      noise_(config.seed),
      probeConnected_(config.probeConnected) {
  PowerOn();
  restartPending_ = config.reportRestart;
  scheduledError_ = config.injectError;
  scheduledErrorMs_ = static_cast<std::uint64_t>(std::llround(config.errorAfterSeconds * 1000.0));
  if (scheduledError_ != 0 && scheduledErrorMs_ == 0) {
    InjectError(Holder::kSample, scheduledError_);
    scheduledError_ = 0;
  }
}

void ControllerModel::PowerOn() {
  for (HolderState& s : holders_) {
    s.controlOn = false;
    s.stirrerOn = false;
    s.speed = std::clamp(kPowerOnSpeed, limits_.minSpeed, limits_.maxSpeed);
    s.target = std::clamp(kPowerOnTarget, limits_.minTarget, limits_.maxTarget);
    s.thermal.SetSetpoint(s.target);
    s.rampSteps = s.rampTime = 0;
    s.rampRate = 0.0;
    s.autoStatus = s.autoError = s.autoTarget = false;
    s.temperature = s.exchanger = Report{};
  }
  autoProbe_ = false;
  probeReport_ = Report{};
  decimals_ = 2;
  rampLinked_ = false;
  fastPoll_ = false;
  probeAveraging_ = false;
}

void ControllerModel::InjectError(Holder h, int number) {
  if (number < 1 || number > 10 || (h == Holder::kReference && !twoHolders_)) return;
  HolderState& s = At(h);
  s.pendingError = number;
  if (number == 8 || number == 10) s.controlOn = false;
  s.errorToReport = s.autoError;
}

void ControllerModel::InjectRestart() {
  PowerOn();
  restartPending_ = true;
}

void ControllerModel::SetProbeConnected(bool connected) { probeConnected_ = connected; }

double ControllerModel::RampRate(Holder h) const {
  if (config_.firmware > 7.0) {
    const HolderState& s = h == Holder::kReference && rampLinked_ ? At(Holder::kSample) : At(h);
    return s.rampSteps > 0 && s.rampTime > 0 ? 0.6 * s.rampTime / s.rampSteps : 0.0;
  }
  return At(h).rampRate;
}

// ---- Bytes in, replies out ---------------------------------------------

std::string ControllerModel::Receive(std::string_view bytes) {
  if (config_.echo) return std::string(bytes);
  for (const char c : bytes) {
    if (c == '[') {
      frame_.assign(1, '[');
    } else if (frame_.empty()) {
      continue;  // between frames: line ends and stray bytes
    } else if (c == '\r' || c == '\n' || frame_.size() >= kMaxFrame) {
      frame_.clear();  // a command cut short or run on
      Send("F1", "ER", "9");
    } else {
      frame_.push_back(c);
      if (c == ']') {
        Execute(frame_);
        frame_.clear();
      }
    }
  }
  SendSpontaneous();
  return std::exchange(out_, {});
}

void ControllerModel::Execute(std::string_view frame) {
  // "[" address(2) " " code(2), then " " argument or nothing, then "]".
  const std::string_view address = frame.substr(1, std::min<std::size_t>(2, frame.size() - 1));
  std::optional<Holder> holder;
  if (address == "F1") holder = Holder::kSample;
  if (address == "R1" && twoHolders_) holder = Holder::kReference;
  const bool changer = address == "F2" && positions_ > 0;
  const std::string_view errorAddress = holder || changer ? address : std::string_view("F1");

  const bool wellFormed = frame.size() >= 7 && frame[3] == ' ' && std::isupper(static_cast<unsigned char>(frame[4])) &&
                          std::isupper(static_cast<unsigned char>(frame[5])) &&
                          (frame.size() == 7 || (frame.size() > 8 && frame[6] == ' '));
  bool accepted = false;
  if (wellFormed && (holder || changer)) {
    const std::string_view code = frame.substr(4, 2);
    const std::string_view arg = frame.size() == 7 ? std::string_view() : frame.substr(7, frame.size() - 8);
    if (changer) {
      accepted = ChangerCommand(code, arg);
    } else {
      accepted = HolderCommand(*holder, code, arg) || (*holder == Holder::kSample && ControllerCommand(code, arg));
    }
  }
  if (!accepted) Send(errorAddress, "ER", "9");
}

void ControllerModel::Send(std::string_view address, std::string_view code, std::string_view argument) {
  out_ += '[';
  out_ += address;
  out_ += ' ';
  out_ += code;
  if (!argument.empty()) {
    out_ += ' ';
    out_ += argument;
  }
  out_ += "]\r\n";
}

// ---- The clock ------------------------------------------------------------

std::string ControllerModel::Advance(std::uint32_t milliseconds) {
  if (config_.echo) return {};
  std::uint64_t pending = std::uint64_t{partialMs_} + milliseconds;
  while (pending >= kTickMs) {
    pending -= kTickMs;
    Tick();
  }
  partialMs_ = static_cast<std::uint32_t>(pending);
  SendSpontaneous();
  return std::exchange(out_, {});
}

void ControllerModel::Tick() {
  tickMs_ += kTickMs;
  const double seconds = kTickMs / 1000.0;
  if (scheduledError_ != 0 && tickMs_ >= scheduledErrorMs_) {
    InjectError(Holder::kSample, scheduledError_);
    scheduledError_ = 0;
  }
  for (const Holder h : {Holder::kSample, Holder::kReference}) {
    HolderState& s = At(h);
    s.thermal.Step(seconds, s.controlOn, s.target, RampRate(h), noise_);
  }
  probe_.Step(seconds, Temperature(Holder::kSample), noise_);

  if (changerMoving_ && tickMs_ >= changerArrivalMs_) {
    changerMoving_ = false;
    changerPosition_ = changerDestination_;
    if (changerReportArrival_) Send("F2", "DL", std::to_string(changerPosition_));
  }
  SendDueReports(Holder::kSample);
  if (twoHolders_) SendDueReports(Holder::kReference);
  if (probeReport_.intervalSeconds > 0 && tickMs_ >= probeReport_.dueMs) {
    probeReport_.dueMs += std::uint64_t(probeReport_.intervalSeconds) * 1000;
    SendReading(Holder::kSample, "PT");
  }
  SendSpontaneous();
}

void ControllerModel::SendDueReports(Holder h) {
  HolderState& s = At(h);
  for (const auto& [report, code] : {std::pair{&s.temperature, "CT"}, std::pair{&s.exchanger, "HT"}}) {
    if (report->intervalSeconds > 0 && tickMs_ >= report->dueMs) {
      report->dueMs += std::uint64_t(report->intervalSeconds) * 1000;
      SendReading(h, code);
    }
  }
}

// Reports that follow a change: status, errors, the target while a ramp
// moves it, probe presence.
void ControllerModel::SendSpontaneous() {
  for (const Holder h : {Holder::kSample, Holder::kReference}) {
    if (h == Holder::kReference && !twoHolders_) break;
    HolderState& s = At(h);
    if (s.errorToReport) {
      s.errorToReport = false;
      Send(AddressOf(h), "ER", std::to_string(s.pendingError));
    }
    if (s.autoStatus && StatusText(h) != s.lastStatus) SendStatus(h);
    if (s.autoTarget && Format("%.2f", s.thermal.Setpoint()) != s.lastTargetText &&
        (s.thermal.Setpoint() == s.target || tickMs_ >= s.lastTargetMs + kTargetReportMs)) {
      SendTarget(h);
    }
  }
  if (autoProbe_ && probeConnected_ != probeReported_) {
    probeReported_ = probeConnected_;
    Send("F1", "PR", probeConnected_ ? "+" : "-");
  }
}

void ControllerModel::SendReading(Holder h, std::string_view code) {
  if (code == "PT" && !probeConnected_) {
    Send("F1", "PT", "NA");  // no value without a probe
    return;
  }
  const double value = code == "PT"   ? probe_.Temperature()
                       : code == "HT" ? HeatExchangerTemperature(h)
                                      : Temperature(h);
  Send(AddressOf(h), code, Format("%.*f", decimals_, value));
}

// Four characters: error ("R" restarted, "1" pending, "0" none), stirrer,
// temperature control, stable ("S").
std::string ControllerModel::StatusText(Holder h) const {
  const HolderState& s = At(h);
  std::string text(4, '-');
  text[0] = restartPending_ ? 'R' : s.pendingError != 0 ? '1' : '0';
  if (s.stirrerOn) text[1] = '+';
  if (s.controlOn) text[2] = '+';
  if (s.controlOn && s.thermal.Stable()) text[3] = 'S';
  return text;
}

void ControllerModel::SendStatus(Holder h) {
  Send(AddressOf(h), "IS", StatusText(h));
  restartPending_ = false;  // said once
  At(h).lastStatus = StatusText(h);
}

void ControllerModel::SendTarget(Holder h) {
  HolderState& s = At(h);
  s.lastTargetText = Format("%.2f", s.thermal.Setpoint());
  s.lastTargetMs = tickMs_;
  Send(AddressOf(h), "TT", s.lastTargetText);
}

}  // namespace vireo::sim
