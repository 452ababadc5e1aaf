#pragma once
// The script engine: runs a script file one command per tick of Timer1,
// with its waits, nested counted loops and operator messages. Plain logic,
// acting on the program only through ScriptHost.
//
// How the main window drives it (one engine for the whole program run):
//   Btn_RunScriptClick(sender)   if Started(): Cancel(); otherwise ask for a
//                                file and StartScript(path, ScriptOrigin::User).
//   Btn_RunScriptClick(nullptr)  RunStartupScript(the executable's folder, the
//                                user's configuration folder);
//                                "--script FILE" opens the script panel and
//                                calls StartScript(FILE, ScriptOrigin::User).
//   Timer1Timer(sender)          Tick(): the whole tick, every run state.
//   Timer1Timer(nullptr)         Reset(): the engine reset (reconnecting).
//   EndWaitBtnClick(sender)      EndWait().
//   Btn_ClearClick(sender)       while Btn_Clear reads "Cancel Loop":
//                                RequestLoopCancel(); otherwise clear the log.
// LoopLevel is the display log's nesting level; every echo of a sent command
// uses it (FormA may keep a reference to it under the same name).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scripting/script_host.h"

namespace vireo {

enum class ScriptOrigin {
  User,     // "Run Script File": every failure is reported
  Startup,  // the start-up script: a missing file is silent, the panel opens for it,
            // the banners show the whole path (which of the folders it came from)
};

inline constexpr const char* kScriptCaption = "Zel_SC Script";  // the engine's message boxes
inline constexpr const char* kStartupScriptName = "Vireo Startup Script.txt";
inline constexpr int kLoopLevels = 9;
inline constexpr int kIdlePeriodMs = 600;
// A changer takes seconds to reach a position; one that has not reported it
// after this long is given up on, so that a [*WPL] ends and the spectrometer
// readings the move held back go on.
inline constexpr int kPositionReportTimeoutMs = 60000;

class ScriptEngine {
 public:
  explicit ScriptEngine(ScriptHost& host) : host_(host) {}

  // ---- Run control ------------------------------------------------------
  // Reads the file and starts it; false when nothing was started.
  bool StartScript(const std::string& path, ScriptOrigin origin);
  // The start-up script request: "Vireo Startup Script.txt" in the first of
  // `folders` that holds one.
  bool RunStartupScript(const std::vector<std::string>& folders);
  // Starts a script already read; `name` is shown in the banners.
  bool StartScriptText(std::string_view name, std::string_view text);
  // From a successful start until completion or cancel (Btn_RunScript reads
  // "Cancel Script"; after a reset it still does until Cancel()).
  bool Started() const { return started_; }
  // Cancel Script; with `stopRamp` false a ramp the script started is left
  // running (the program is ending without the user's word).
  void Cancel(bool stopRamp = true);
  void Tick();
  void Reset();
  void EndWait();
  void RequestLoopCancel();

  // ---- Run-control state ------------------------------------------------
  std::string ScriptText;
  bool HasScript = false;              // ScriptText is held
  std::size_t ScriptCursor = 0;
  bool CursorSet = false;              // false: start from the beginning
  std::string ScriptFileName;          // bare name, UTF-8
  float IntervalSeconds = 0.0f;
  bool BannerShown = false;
  bool MessageOnScreen = false;
  bool BeepWhileMessage = false;
  std::string OperatorMessage;  // the text of an open [*MS] message; empty when none
  std::int32_t SpectrometerRefreshCountdown = 500;

  // ---- Waits -----------------------------------------------------------
  std::int32_t DelayTicks = 0;
  bool PositionWaitActive = false;
  bool StableWaitActive = false;
  std::int32_t StableTicksPerCycle = 0;
  std::int32_t StableTickCounter = 0;
  std::int32_t StableCycle = 0;
  std::int32_t ConditionKind = 0;
  std::int32_t ConditionSign = 0;
  float ConditionTarget = 0.0f;
  bool EndWaitRequested = false;
  std::int32_t PositionUnsettledMs = 0;  // how long the changer's report has been awaited

  // ---- Loops -----------------------------------------------------------
  std::int32_t LoopLevel = -1;
  std::array<std::int32_t, kLoopLevels> LoopCount{};
  std::array<std::int32_t, kLoopLevels> LoopIteration{};
  std::array<std::size_t, kLoopLevels> LoopRestart{};
  std::array<bool, kLoopLevels> LoopCancelRequested{};
  // Loops opened while all nine levels were taken: each runs its body once
  // and is closed by its own [*LE], so the nine real levels stay paired.
  std::int32_t LoopOverflow = 0;
  bool ClearCancelsLoop = false;  // Btn_Clear reads "Cancel Loop"

 private:
  void ServeRefreshAndMessage(bool& held);
  void WatchPositionReport();
  bool RefusedWithoutChanger(const std::string& command);
  // A running script waits while the host gives a reason; true while it does.
  bool HeldByHost();
  void TickSteps();
  bool ServeWaits();
  void Complete();
  void RunControllerCommand(const std::string& command);
  void RunScriptCommand(const std::string& command);
  void Echo(std::string_view command);
  void ShowEngineMessage(std::string_view text, std::string_view caption);
  void StartDelay(const std::string& command);
  void StartStableWait(const std::string& command);
  void StartConditionWait(const std::string& command);
  void OpenLoop(const std::string& command);
  void CloseLoop(const std::string& command);
  void ShowMessageCommand(const std::string& command);
  void StepPosition(const std::string& command);
  void StepTarget(const std::string& command);
  void StopRamp();

  ScriptHost& host_;
  bool started_ = false;
  bool inTick_ = false;  // a tick's steps are being carried out
  std::string holdShown_;  // the hold the display log last announced
};

// The spectrometer steps [*SC text], [*SW x], [*SZ], [*SS +/-] and [*SP +/-],
// scripted or typed in the command panel; false for any other command.
bool RunSpectrometerCommand(ScriptHost& host, std::string_view command);

}  // namespace vireo
