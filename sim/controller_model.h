#pragma once
// A simulated temperature controller on a virtual clock: it answers the
// bracketed commands of the program the way the instrument does and reports
// by itself (periodic readings, status changes, errors, the changer's
// arrival). No threads and no I/O: the caller feeds bytes and moves the clock.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/controller_options.h"
#include "sim/thermal_model.h"

namespace vireo::sim {

enum class Holder { kSample = 0, kReference = 1 };

class ControllerModel {
 public:
  explicit ControllerModel(const ControllerConfig& config);

  // Bytes from the program. Commands are "[...]" frames; what lies between
  // frames (the CR LF after each, stray bytes) is ignored. Returns the reply
  // bytes, every reply ending with CR LF.
  std::string Receive(std::string_view bytes);
  // Moves the clock on and returns what the controller sent by itself.
  std::string Advance(std::uint32_t milliseconds);

  // Faults. An error is pending until ER is asked; errors 8 and 10 switch
  // the holder's temperature control off, as the instrument does.
  void InjectError(Holder holder, int number);
  // The controller restarts: power-on settings, reports off; the next status
  // answer says "R".
  void InjectRestart();
  void SetProbeConnected(bool connected);

  std::uint64_t NowMs() const { return tickMs_ + partialMs_; }
  double Temperature(Holder h) const { return At(h).thermal.Temperature(); }
  double Target(Holder h) const { return At(h).target; }
  // Where a ramp has got to; the target itself without ramp.
  double Setpoint(Holder h) const { return At(h).thermal.Setpoint(); }
  double RampRate(Holder h) const;  // degrees C per minute in force, 0 none
  double HeatExchangerTemperature(Holder h) const { return At(h).thermal.HeatExchanger(); }
  double ProbeTemperature() const { return probe_.Temperature(); }
  bool Stable(Holder h) const { return At(h).thermal.Stable(); }
  bool ControlOn(Holder h) const { return At(h).controlOn; }
  bool StirrerOn(Holder h) const { return At(h).stirrerOn; }
  int StirrerSpeed(Holder h) const { return At(h).speed; }
  int PendingError(Holder h) const { return At(h).pendingError; }
  int ChangerPosition() const { return changerPosition_; }

 private:
  struct Report {
    int intervalSeconds = 0;  // 0: off
    std::uint64_t dueMs = 0;
  };
  struct HolderState {
    HolderThermal thermal;
    bool controlOn = false;
    bool stirrerOn = false;
    int speed = 0;
    double target = 0.0;
    int rampSteps = 0, rampTime = 0;  // RS, RT of the newer firmware
    double rampRate = 0.0;            // RR of the older firmware
    int pendingError = 0;
    bool errorToReport = false;
    bool autoStatus = false, autoError = false, autoTarget = false;
    std::string lastStatus;      // the status last sent
    std::string lastTargetText;  // the target last sent
    std::uint64_t lastTargetMs = 0;
    Report temperature, exchanger;
  };

  HolderState& At(Holder h) { return holders_[static_cast<int>(h)]; }
  const HolderState& At(Holder h) const { return holders_[static_cast<int>(h)]; }
  static std::string_view AddressOf(Holder h) { return h == Holder::kSample ? "F1" : "R1"; }

  void PowerOn();
  void Execute(std::string_view frame);
  bool ControllerCommand(std::string_view code, std::string_view arg);
  bool HolderCommand(Holder h, std::string_view code, std::string_view arg);
  bool TargetCommand(Holder h, std::string_view arg);
  bool StirrerCommand(Holder h, std::string_view arg);
  bool ReportCommand(Holder h, std::string_view code, Report& report, std::string_view arg);
  bool RampCommand(Holder h, std::string_view code, std::string_view arg);
  bool ChangerCommand(std::string_view code, std::string_view arg);
  void StartMove(int position, bool reportArrival);

  void Tick();
  void SendSpontaneous();
  void SendDueReports(Holder h);
  void SendReading(Holder h, std::string_view code);
  void SendStatus(Holder h);
  void SendTarget(Holder h);
  std::string StatusText(Holder h) const;
  void Send(std::string_view address, std::string_view code, std::string_view argument);

  ControllerConfig config_;
  ControllerLimits limits_;
  int positions_;
  bool twoHolders_;
  Noise noise_;
  std::array<HolderState, 2> holders_;
  ProbeThermal probe_;

  std::uint64_t tickMs_ = 0;   // clock at the last tick
  std::uint32_t partialMs_ = 0;  // time advanced since, less than a tick
  int scheduledError_ = 0;     // error to inject at scheduledErrorMs_
  std::uint64_t scheduledErrorMs_ = 0;

  bool restartPending_ = false;
  bool probeConnected_;
  bool autoProbe_ = false;
  bool probeReported_ = false;  // presence last sent
  Report probeReport_;
  int decimals_ = 2;
  bool rampLinked_ = false;  // TL: the reference ramps with the sample's parameters
  bool fastPoll_ = false;    // FP
  bool probeAveraging_ = false;  // PX

  int changerPosition_ = 1;
  int changerDestination_ = 1;
  bool changerMoving_ = false;
  bool changerReportArrival_ = false;
  std::uint64_t changerArrivalMs_ = 0;

  std::string frame_;  // command being assembled, "[" first; empty outside a frame
  std::string out_;    // replies not yet handed out
};

}  // namespace vireo::sim
