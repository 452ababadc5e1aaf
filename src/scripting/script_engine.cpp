// Run control of the script engine: starting a script file, the order of
// work in each Timer1 tick, taking commands from the text, completion,
// cancel and the engine reset.
#include "scripting/script_engine.h"

#include <filesystem>
#include <system_error>

#include "control/text_helpers.h"
#include "scripting/script_language.h"
#include "shell/shell_state.h"

namespace vireo {

bool ScriptEngine::RunStartupScript(const std::vector<std::string>& folders) {
  for (std::string path : folders) {
    if (!path.empty() && path.back() != '/') path += '/';
    path += kStartupScriptName;
    // Only a missing file passes the turn on: a faulty script in the first
    // folder is reported, not silently replaced by another one.
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return StartScript(path, ScriptOrigin::Startup);
  }
  return false;
}

bool ScriptEngine::StartScript(const std::string& path, ScriptOrigin origin) {
  const std::optional<std::string> text = ReadScriptFile(path);
  if (!text) {
    if (origin == ScriptOrigin::User) host_.ShowMessage("Failed to open file.", kScriptCaption);
    return false;
  }
  if (origin == ScriptOrigin::Startup) {
    host_.OpenScriptPanel();
    return StartScriptText(path, *text);
  }
  return StartScriptText(ScriptDisplayName(path), *text);
}

bool ScriptEngine::StartScriptText(std::string_view name, std::string_view text) {
  // A running script keeps its text: its cursor, loops and waits belong to it.
  if (started_) return false;
  const std::string_view script = ScriptTextOf(text);
  const ScriptHeader header = CheckScriptHeader(script);
  switch (header.fault) {
    case ScriptHeaderFault::HeaderLine:
      host_.ShowMessage(Format("Invalid script header line \n\n'%s'", header.shownText.c_str()), kScriptCaption);
      return false;
    case ScriptHeaderFault::IntervalLine:
      host_.ShowMessage(Format("Invalid interval line \n\n'%s'", header.shownText.c_str()), kScriptCaption);
      return false;
    case ScriptHeaderFault::IntervalRange:
      host_.ShowMessage(Format("Interval value (%f) is out of range.\n\nAllowed range is 0.1<= i <=5 sec.",
                               static_cast<double>(header.interval)),
                        kScriptCaption);
      return false;
    case ScriptHeaderFault::None:
      break;
  }
  ScriptText.assign(script);
  HasScript = true;
  holdShown_.clear();
  ScriptFileName.assign(name);
  IntervalSeconds = header.interval;
  host_.SetRunState(kRunScript);
  host_.SetTimer1Period(IntervalMilliseconds(IntervalSeconds));
  host_.SetRunScriptButtonCancels(true);
  started_ = true;
  return true;
}

void ScriptEngine::ServeRefreshAndMessage(bool& held) {
  const int state = host_.RunState();
  if (state == kRunScript || state == kRunIdleTimer) {
    if (--SpectrometerRefreshCountdown < 0) {
      if (host_.SpectrometerPortOpen()) host_.RefreshSpectrometerLink();
      SpectrometerRefreshCountdown = 500;
    }
  }
  if (BeepWhileMessage) host_.Beep();
  held = MessageOnScreen || inTick_;
}

void ScriptEngine::WatchPositionReport() {
  ControllerState& c = host_.Controller();
  if (c.PositionSettled) {
    PositionUnsettledMs = 0;
    return;
  }
  // No report can come while the host holds the script (a lost link): the
  // wait pauses rather than ending on values the changer never sent.
  if (host_.RunState() == kRunScript && HasScript && !host_.HoldReason().empty()) return;
  PositionUnsettledMs += host_.RunState() == kRunScript ? IntervalMilliseconds(IntervalSeconds) : kIdlePeriodMs;
  if (PositionUnsettledMs < kPositionReportTimeoutMs) return;
  PositionUnsettledMs = 0;
  c.PositionSettled = true;
  host_.AppendToDisplayLog(LoopLevel, Format("-------No position report from the cuvette changer within %d s: "
                                             "the position wait ends and readings go on",
                                             kPositionReportTimeoutMs / 1000));
}

void ScriptEngine::Tick() {
  WatchPositionReport();
  bool held = false;
  ServeRefreshAndMessage(held);
  if (held || HeldByHost()) return;
  // Any box an operation of this tick opens (an invalid wavelength, a disk
  // failure) runs the event loop inside it: the ticks arriving meanwhile hold
  // as they do for the engine's own messages, and no command runs inside another.
  inTick_ = true;
  TickSteps();
  inTick_ = false;
}

bool ScriptEngine::HeldByHost() {
  if (host_.RunState() != kRunScript || !HasScript) return false;
  const std::string reason = host_.HoldReason();
  // Said once when the hold begins and once when it ends, not every tick.
  if (reason != holdShown_) {
    if (!reason.empty()) {
      host_.AppendToDisplayLog(LoopLevel, "-------Script held: " + reason);
    } else {
      host_.AppendToDisplayLog(LoopLevel, "-------Script goes on");
    }
    holdShown_ = reason;
  }
  return !reason.empty();
}

void ScriptEngine::TickSteps() {
  if (host_.RunState() == kRunOffline) host_.SimulationStep();
  if (host_.RunState() == kRunProbing) {
    host_.SendControllerCommand("[F1 IS ?]", true);
    return;
  }
  if (host_.RunState() != kRunScript || !HasScript) return;
  if (ServeWaits()) return;
  if (!BannerShown) {
    host_.AppendToDisplayLog(LoopLevel, "\r\n-------Starting Script");
    host_.AppendWideToDisplayLog(LoopLevel, ScriptFileName);
    host_.AppendToDisplayLog(LoopLevel, "  ");
    BannerShown = true;
    return;
  }
  if (!CursorSet) {
    ScriptCursor = 0;
    CursorSet = true;
    DelayTicks = 0;
    StableWaitActive = false;
    ConditionKind = 0;
  }
  const auto found = NextCommand(ScriptText, ScriptCursor);
  if (!found) {
    Complete();
    return;
  }
  if (host_.ShowComments()) {
    const std::size_t following = ScriptText.find('[', found->open + 1);
    if (following != std::string::npos) {
      // The command with the comment that follows it, without the line end
      // before the next command.
      std::string_view shown(ScriptText.data() + found->open, following - 1 - found->open);
      while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n' || shown.back() == ' ' ||
                                shown.back() == '\t')) {
        shown.remove_suffix(1);
      }
      host_.AppendToDisplayLog(LoopLevel, shown);
    }
  }
  if (found->close == std::string::npos) {
    Complete();
    return;
  }
  ScriptCursor = found->next;
  const std::string command =
      InterpretedCommand(std::string_view(ScriptText).substr(found->open, found->close + 1 - found->open));
  if (TooLong(command)) {
    // Too long to be a command the program would send: most likely a "["
    // in a comment. Skipped, and said so, rather than sent cut.
    host_.AppendToDisplayLog(LoopLevel, Format("-------Command of %zu characters skipped", command.size()));
    return;
  }
  if (IsScriptCommand(command)) {
    RunScriptCommand(command);
  } else {
    RunControllerCommand(command);
  }
}

bool ScriptEngine::RefusedWithoutChanger(const std::string& command) {
  if (host_.Controller().HasChanger) return false;
  // No changer would ever report the position: the move would hold every
  // spectrometer reading and any [*WPL] after it.
  host_.AppendToDisplayLog(LoopLevel, "-------No cuvette changer: " + command + " changes nothing");
  return true;
}

void ScriptEngine::RunControllerCommand(const std::string& command) {
  if ((command.starts_with("[F2 PL ") || command.starts_with("[F2 DL ")) && RefusedWithoutChanger(command)) return;
  if (IsRampCommand(command)) host_.SetRampActive(command.size() >= 10);
  const std::string sent = host_.ApplyCommandLocally(command);
  const bool written = host_.SendControllerCommand(sent, !host_.ShowComments());
  // A changer move makes a following [*WPL] wait for the changer's report.
  if (written && (sent.starts_with("[F2 PL ") || sent.starts_with("[F2 DL "))) {
    host_.Controller().PositionSettled = false;
  }
}

void ScriptEngine::Complete() {
  host_.SetRunState(kRunIdleTimer);
  host_.SetTimer1Period(kIdlePeriodMs);
  CursorSet = false;
  ScriptText.clear();
  HasScript = false;
  LoopLevel = -1;
  LoopOverflow = 0;
  // A request left from a loop that never reached its [*LE] must not cancel
  // a loop of the next script.
  LoopCancelRequested.fill(false);
  host_.AppendToDisplayLog(-1, "\r\n-------Script completed");
  host_.AppendWideToDisplayLog(-1, ScriptFileName);
  host_.AppendToDisplayLog(-1, "  ");
  host_.RaiseEvent(ProgramEvent::ScriptFinished, ScriptFileName);
  ScriptFileName.clear();
  host_.SetRunScriptButtonCancels(false);
  host_.SetClearButtonCancelsLoop(false);
  ClearCancelsLoop = false;
  BannerShown = false;
  started_ = false;
  if (host_.PanelMode() == kPanelHidden && host_.PanelOpen()) host_.HidePanel();
}

void ScriptEngine::Reset() {
  bool held = false;
  ServeRefreshAndMessage(held);
  if (held) return;
  BannerShown = false;
  DelayTicks = 0;
  StableWaitActive = false;
  ConditionKind = 0;
  PositionWaitActive = false;
  host_.SetRunState(kRunIdleTimer);
  host_.SetTimer1Period(kIdlePeriodMs);
  CursorSet = false;
  ScriptText.clear();
  HasScript = false;
}

void ScriptEngine::Cancel(bool stopRamp) {
  Reset();
  host_.SetRunState(kRunIdleTimer);
  host_.SetTimer1Period(kIdlePeriodMs);
  LoopCancelRequested.fill(false);
  LoopLevel = -1;
  LoopOverflow = 0;
  host_.SetClearButtonCancelsLoop(false);
  ClearCancelsLoop = false;
  host_.SetRunScriptButtonCancels(false);
  host_.ShowDelayPanel(false);
  host_.AppendToDisplayLog(-1, "\r\n-------Script Canceled");
  host_.AppendWideToDisplayLog(-1, ScriptFileName);
  if (stopRamp && host_.RampActive()) StopRamp();
  host_.RaiseEvent(ProgramEvent::ScriptCancelled, ScriptFileName);
  ScriptFileName.clear();
  started_ = false;
}

void ScriptEngine::StopRamp() {
  host_.SetRampActive(false);
  host_.SendControllerCommand("  ", true);
  const ControllerState& c = host_.Controller();
  const char model = c.ModelId.data[0];
  const bool reference = model == '2' || model == '4';
  if (c.FirmwareVersion > 7.0f) {
    host_.SendControllerCommand("[F1 RS S 0]", true);
    host_.SendControllerCommand("[F1 RT S 0]", true);
    if (reference) {
      host_.SendControllerCommand("[R1 RS S 0]", true);
      host_.SendControllerCommand("[R1 RT S 0]", true);
    }
  } else {
    host_.SendControllerCommand("[F1 RR 0]", true);
    if (reference) host_.SendControllerCommand("[R1 RR 0]", true);
  }
}

}  // namespace vireo
