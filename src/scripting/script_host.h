#pragma once
// What the script engine needs from the rest of the program. The engine is
// plain logic; the main window implements this interface and the tests use a
// fake. Every call is made on the window thread, from inside one of the
// engine's entry points (see script_engine.h for how the window drives it).

#include <string>
#include <string_view>

#include "controller/controller_state.h"
#include "status/program_events.h"

namespace vireo {

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;

  // ---- Controller link -------------------------------------------------
  // SendControllerCommand: echoes the text into the display log at the
  // engine's loop level when `echo`, then writes it with CR LF. Returns true
  // when the command was written (false when the link is closed).
  virtual bool SendControllerCommand(std::string_view text, bool echo) = 0;
  // ApplyCommandLocally: the local handling every scripted controller command
  // passes; returns the text to send (a changer position may be rewritten).
  virtual std::string ApplyCommandLocally(std::string_view text) = 0;
  // The controller state: read by the waits; [*TT+x] changes SampleTarget,
  // [*PL+] / [*PL-] change CuvettePosition, a changer move clears
  // PositionSettled.
  virtual ControllerState& Controller() = 0;
  virtual ReplyLog& ReplyLogSwitches() = 0;        // [*Lxx+] / [*Lxx-]
  virtual ReadingBeep& ReadingBeepSwitches() = 0;  // [*BxT+] / [*BxT-]
  virtual bool RampActive() const = 0;             // a ramp rate is in force
  virtual void SetRampActive(bool on) = 0;

  // ---- Display log and the script panel's controls ---------------------
  // level -1: no prefix; 0 to 8: the nesting prefix. A text with line
  // breaks gives several lines.
  virtual void AppendToDisplayLog(int level, std::string_view text) = 0;
  // The same for a file name, given in UTF-8 (names may hold any character).
  virtual void AppendWideToDisplayLog(int level, std::string_view utf8) = 0;
  virtual bool ShowComments() const = 0;  // "Show Script Comments" is ticked
  // The display log's background: aqua while an operator message is open,
  // the system window colour otherwise.
  virtual void SetDisplayAlert(bool on) = 0;
  // The wait panel: Delay_Panel (with its EndWaitBtn) shown or hidden, the
  // caption of Delay_Label and the text of Delay_Display.
  virtual void ShowDelayPanel(bool shown) = 0;
  virtual void SetDelayLabel(std::string_view text) = 0;
  virtual void SetDelayDisplay(std::string_view text) = 0;
  // Btn_Clear: "Cancel Loop" (hint "Cancel the current loop") when true,
  // "Clear Display" (hint "Clear the Display window") when false.
  virtual void SetClearButtonCancelsLoop(bool cancelsLoop) = 0;
  // Btn_RunScript: "Cancel Script" (hint "Cancel this Script run") when
  // true, "Run Script File" (hint "Load a Script File and run the script")
  // when false.
  virtual void SetRunScriptButtonCancels(bool cancels) = 0;
  // PanelMode (0 hidden or opened for the start-up script, 1 script panel,
  // 2 command panel) and whether the panel is open at all.
  virtual int PanelMode() const = 0;
  virtual bool PanelOpen() const = 0;
  virtual void OpenScriptPanel() = 0;  // M_Tools_ScriptWindow_Click without a sender
  virtual void HidePanel() = 0;        // M_Tools_HideWindowClick

  // ---- Messages and sound ----------------------------------------------
  // A modal message box with an OK button; returns when it is closed. Ticks
  // keep arriving meanwhile (the engine holds itself while it is open).
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
  virtual void Beep() = 0;

  // ---- Holding ----------------------------------------------------------
  // Why a running script must wait where it is (the link to the controller
  // is lost, the program asks the user something); empty when it may go on.
  virtual std::string HoldReason() const = 0;

  // ---- Timer1 and the run state ----------------------------------------
  virtual int RunState() const = 0;
  virtual void SetRunState(int state) = 0;
  // Sets Timer1's period and starts it.
  virtual void SetTimer1Period(int milliseconds) = 0;
  virtual void SimulationStep() = 0;  // the offline simulation (run state 10)

  // ---- Recording -------------------------------------------------------
  virtual void RedrawPlot() = 0;
  virtual void ClearAll() = 0;  // the "Clear &All" menu command on the series
  virtual void SetTimeBaseResetPending() = 0;

  // ---- Spectrometer ----------------------------------------------------
  // [*SC text]: the text up to its "]", as written (the spectrometer side
  // turns it into lower case).
  virtual void SendSpectrometerText(std::string_view text) = 0;
  // [*SW]: mode ' ' set, '+' raise, '-' lower, by the number given as text.
  virtual void SetWavelength(char mode, std::string_view number) = 0;
  virtual void ZeroAbsorbance() = 0;                 // [*SZ]
  virtual void SetSampleRecording(bool on) = 0;      // [*SS +/-]: tick the box and apply it
  virtual void SetProbeRecording(bool on) = 0;       // [*SP +/-]
  virtual bool SpectrometerPortOpen() const = 0;
  virtual void RefreshSpectrometerLink() = 0;        // Btn_COMClick of FormS without a sender

  // ---- Notifications ---------------------------------------------------
  // A script finished or was cancelled (text: its file name, UTF-8), or a
  // message waits for the operator (text: the message).
  virtual void RaiseEvent(ProgramEvent event, std::string_view text) = 0;
};

}  // namespace vireo
