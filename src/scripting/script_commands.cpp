// The script commands ("[*..."), the waits the tick serves before it takes
// the next command, "End Wait", the loops and "Cancel Loop".
#include <algorithm>

#include "control/text_helpers.h"
#include "controller/protocol.h"
#include "scripting/script_engine.h"
#include "scripting/script_language.h"
#include "scripting/typed_command.h"

namespace vireo {

bool ScriptEngine::ServeWaits() {
  if (EndWaitRequested) {
    DelayTicks = 0;
    StableWaitActive = false;
    ConditionKind = 0;
    PositionWaitActive = false;
    EndWaitRequested = false;
    host_.ShowDelayPanel(false);
  }
  if (DelayTicks != 0) {
    --DelayTicks;
    host_.SetDelayDisplay(Format("%7d", DelayTicks));
    if (DelayTicks < 1) {
      host_.ShowDelayPanel(false);
      DelayTicks = 0;
    }
    return true;
  }
  const ControllerState& c = host_.Controller();
  if (PositionWaitActive) {
    if (c.PositionSettled) {
      PositionWaitActive = false;
      host_.ShowDelayPanel(false);
    }
    return true;
  }
  if (StableWaitActive) {
    // A one-holder controller has no reference holder to wait for.
    if (c.SampleStable && (c.ReferenceStable || !c.TwoHolder())) {
      StableWaitActive = false;
      host_.ShowDelayPanel(false);
    } else if (StableTickCounter > 0) {
      host_.SetDelayDisplay(Format("Wait %d(%d)", StableCycle, StableTickCounter));
      --StableTickCounter;
    } else {
      ++StableCycle;
      StableTickCounter = StableTicksPerCycle;
      host_.SendControllerCommand("[F1 IS ?]", false);
      if (c.TwoHolder()) host_.SendControllerCommand("[R1 IS ?]", false);
    }
    return true;
  }
  if (ConditionKind != 0) {
    std::string shown = Format("XT >= %.2f", static_cast<double>(ConditionTarget));
    shown[0] = "CRPT"[ConditionKind - 1];
    if (ConditionSign == -1) shown[3] = '<';
    host_.SetDelayDisplay(shown);
    const float value = ConditionKind == 1   ? c.SampleTemperature
                        : ConditionKind == 2 ? c.ReferenceTemperature
                        : ConditionKind == 3 ? c.ProbeTemperature
                                             : c.SampleTarget;
    const bool met = ConditionSign == 1 ? value >= ConditionTarget - 0.001f : value <= ConditionTarget + 0.001f;
    if (met) {
      ConditionKind = 0;
      host_.ShowDelayPanel(false);
    }
    return true;
  }
  return false;
}

void ScriptEngine::EndWait() {
  EndWaitRequested = true;
  host_.AppendToDisplayLog(LoopLevel, "-------Wait canceled");
}

void ScriptEngine::RequestLoopCancel() {
  if (LoopLevel < 0) {
    // No loop to leave: the button goes back to clearing the display.
    ClearCancelsLoop = false;
    host_.SetClearButtonCancelsLoop(false);
    return;
  }
  LoopCancelRequested[static_cast<std::size_t>(LoopLevel)] = true;
}

void ScriptEngine::Echo(std::string_view command) {
  if (!host_.ShowComments()) host_.AppendToDisplayLog(LoopLevel, command);
}

void ScriptEngine::ShowEngineMessage(std::string_view text, std::string_view caption) {
  MessageOnScreen = true;
  host_.ShowMessage(text, caption);
  MessageOnScreen = false;
}

void ScriptEngine::RunScriptCommand(const std::string& command) {
  using K = ScriptCommandKind;
  switch (RecogniseScriptCommand(command)) {
    case K::ReadingBeep: {
      Echo(command);
      const int sign = SwitchSign(command);
      ReadingBeep& beeps = host_.ReadingBeepSwitches();
      bool* target = CharAt(command, 3) == 'C'   ? &beeps.Sample
                     : CharAt(command, 3) == 'R' ? &beeps.Reference
                     : CharAt(command, 3) == 'P' ? &beeps.Probe
                                                 : nullptr;
      if (target && sign != 0) *target = sign > 0;
      return;
    }
    case K::Delay: return StartDelay(command);
    case K::LoopStart: return OpenLoop(command);
    case K::LoopEnd: return CloseLoop(command);
    case K::Redraw:
      Echo(command);
      host_.RedrawPlot();
      return;
    case K::Restart:
      Echo("[*R]");
      ScriptCursor = 0;
      return;
    case K::PositionWait:
      // The wait lasts until the changer reports its position; a move sent
      // by the script has cleared the flag.
      Echo(command);
      PositionWaitActive = true;
      host_.SetDelayLabel("Wait for Positioning");
      host_.SetDelayDisplay("  ");
      host_.ShowDelayPanel(true);
      return;
    case K::StableWait: return StartStableWait(command);
    case K::ConditionWait: return StartConditionWait(command);
    case K::OtherWait: return Echo(command);
    case K::ReplyLogSwitch:
      // Unrecognised, it does nothing at all, not even the echo.
      if (ApplyReplyLogCommand(command, host_.ReplyLogSwitches())) Echo(command);
      return;
    case K::ClearData:
      Echo(command);
      host_.ClearAll();
      host_.SetTimeBaseResetPending();
      return;
    case K::Message: return ShowMessageCommand(command);
    case K::PositionStep: return StepPosition(command);
    case K::TargetStep: return StepTarget(command);
    case K::SpectrometerText:
    case K::Wavelength:
    case K::ZeroAbsorbance:
    case K::SampleRecording:
    case K::ProbeRecording:
      Echo(command);
      RunSpectrometerCommand(host_, command);
      return;
    case K::Unrecognised: return Echo(command);
  }
}

bool RunSpectrometerCommand(ScriptHost& host, std::string_view command) {
  using K = ScriptCommandKind;
  switch (RecogniseScriptCommand(command)) {
    case K::SpectrometerText: host.SendSpectrometerText(TextFrom(command, 5)); return true;
    case K::Wavelength: host.SetWavelength(CharAt(command, 4), TextFrom(command, 5)); return true;
    case K::ZeroAbsorbance: host.ZeroAbsorbance(); return true;
    case K::SampleRecording: host.SetSampleRecording(CharAt(command, 5) == '+'); return true;
    case K::ProbeRecording: host.SetProbeRecording(CharAt(command, 5) == '+'); return true;
    default: return false;
  }
}

void ScriptEngine::StartDelay(const std::string& command) {
  Echo(command);
  DelayTicks = CommandCount(command).value_or(0);
  host_.SetDelayLabel("Wait for Delay");
  host_.SetDelayDisplay(Format("%7d", DelayTicks));
  host_.ShowDelayPanel(true);
}

void ScriptEngine::StartStableWait(const std::string& command) {
  const auto ticks = CommandCount(command);
  if (!ticks) {
    ShowEngineMessage("[*WT parameter error", kScriptCaption);
    return;
  }
  Echo(command);
  host_.SetDelayLabel("Wait for stable T");
  host_.SetDelayDisplay("Initialize");
  StableTickCounter = 0;
  StableTicksPerCycle = *ticks;
  if (*ticks > 1) {
    host_.SetDelayDisplay(Format("Wait %d.%d", StableCycle, *ticks));
    host_.SendControllerCommand("[F1 IS ?]", false);
  } else {
    host_.SetDelayDisplay("Waiting");
  }
  host_.ShowDelayPanel(true);
  StableWaitActive = true;
  StableCycle = -1;
}

void ScriptEngine::StartConditionWait(const std::string& command) {
  const auto condition = ReadCondition(command);
  if (!condition) {
    ShowEngineMessage(
        "Wait command format error:   allowed forms are \n[*WT #], [*WCT>=#], [*WCT<=#], [*WPT>=#], "
        "[*WPT<=#], [*WTT>=#] or [*WTT<=#]",
        "Zel_SC Script error");
    return;
  }
  Echo(command);
  host_.SetDelayLabel("Waiting for");
  host_.SetDelayDisplay("Initialize");
  host_.ShowDelayPanel(true);
  ConditionSign = condition->sign;
  ConditionTarget = condition->target;
  ConditionKind = condition->kind;
}

void ScriptEngine::OpenLoop(const std::string& command) {
  const int count = CommandCount(command).value_or(0);
  // The body starts just before the next command; with none, at the end.
  const std::size_t next = ScriptText.find('[', ScriptCursor);
  const std::size_t restart = next == std::string::npos ? ScriptText.size() : next - 1;
  if (!host_.ShowComments()) host_.AppendToDisplayLog(LoopLevel, Format("[*LS %d]", count));
  ScriptCursor = restart;
  if (LoopLevel + 1 >= kLoopLevels) {
    ++LoopOverflow;
    host_.AppendToDisplayLog(LoopLevel, "-------Loop not opened: nine loops are open; its body runs once");
    return;
  }
  ++LoopLevel;
  const auto level = static_cast<std::size_t>(LoopLevel);
  LoopCount[level] = count;
  LoopIteration[level] = 1;
  LoopRestart[level] = restart;
  LoopCancelRequested[level] = false;
  ClearCancelsLoop = true;
  host_.SetClearButtonCancelsLoop(true);
}

void ScriptEngine::CloseLoop(const std::string&) {
  if (LoopOverflow > 0) {
    // The [*LE] of a loop that was never opened: its one pass is over.
    --LoopOverflow;
    host_.AppendToDisplayLog(LoopLevel, "[*LE]");
    return;
  }
  if (LoopLevel < 0) {
    host_.AppendToDisplayLog(-1, "[*LE] ignored: no loop is open");
    return;
  }
  const auto level = static_cast<std::size_t>(LoopLevel);
  host_.AppendToDisplayLog(LoopLevel - 1, Format("[*LE] (%d/%d)", LoopIteration[level], LoopCount[level]));
  ++LoopIteration[level];
  if (LoopCancelRequested[level]) {
    host_.AppendToDisplayLog(LoopLevel - 1, Format("-------Loop(%d) canceled", LoopLevel + 1));
    if (LoopLevel == 0) {
      ClearCancelsLoop = false;
      host_.SetClearButtonCancelsLoop(false);
    }
    LoopCancelRequested[level] = false;
    --LoopLevel;
  } else if (LoopIteration[level] <= LoopCount[level]) {
    ScriptCursor = LoopRestart[level];
  } else {
    // Done; a count below 1 has run its body once and closes here too.
    --LoopLevel;
  }
}

void ScriptEngine::ShowMessageCommand(const std::string& command) {
  host_.SetDisplayAlert(true);
  Echo(command);
  if (CharAt(command, 6) == '+') BeepWhileMessage = true;
  const std::string_view text = TextFrom(command, 8).substr(0, kMaxMessageText);
  OperatorMessage = text;
  host_.RaiseEvent(ProgramEvent::OperatorMessage, text);
  ShowEngineMessage(text, kScriptCaption);
  OperatorMessage.clear();
  host_.SetDisplayAlert(false);
  BeepWhileMessage = false;
}

void ScriptEngine::StepPosition(const std::string& command) {
  Echo(command);
  if (RefusedWithoutChanger(command)) return;
  ControllerState& c = host_.Controller();
  const int count = std::max(c.PositionCount, 1);
  int position = c.CuvettePosition + (CharAt(command, 4) == '+' ? 1 : -1);
  if (position > count) position = 1;
  if (position < 1) position = count;
  c.CuvettePosition = position;
  if (host_.SendControllerCommand(PositionCommand(position), true)) c.PositionSettled = false;
}

void ScriptEngine::StepTarget(const std::string& command) {
  Echo(command);
  ControllerState& c = host_.Controller();
  c.SampleTarget += ReadFloatAt(command, 4).value_or(0.0f);
  // The new target passes the local handling as a typed one does: the target
  // display follows it, and the sample holder counts as unstable until it
  // reports again, so that a stable-temperature wait after it really waits.
  const std::string sent =
      host_.ApplyCommandLocally(Format("[F1 TT S %.2f]", static_cast<double>(c.SampleTarget)));
  host_.SendControllerCommand(sent, true);
  host_.SendControllerCommand("[F1 TT ?]", true);
}

}  // namespace vireo
