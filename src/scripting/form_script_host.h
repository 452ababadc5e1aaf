#pragma once
// The main window as the script engine's host: each call lands on the
// window's own handlers, controls and state.

#include "scripting/script_host.h"

namespace vireo {

class FormA;

class FormScriptHost final : public ScriptHost {
 public:
  explicit FormScriptHost(FormA& form) : form_(form) {}

  bool SendControllerCommand(std::string_view text, bool echo) override;
  std::string ApplyCommandLocally(std::string_view text) override;
  ControllerState& Controller() override;
  ReplyLog& ReplyLogSwitches() override;
  ReadingBeep& ReadingBeepSwitches() override;
  bool RampActive() const override;
  void SetRampActive(bool on) override;

  void AppendToDisplayLog(int level, std::string_view text) override;
  void AppendWideToDisplayLog(int level, std::string_view utf8) override;
  bool ShowComments() const override;
  void SetDisplayAlert(bool on) override;
  void ShowDelayPanel(bool shown) override;
  void SetDelayLabel(std::string_view text) override;
  void SetDelayDisplay(std::string_view text) override;
  void SetClearButtonCancelsLoop(bool cancelsLoop) override;
  void SetRunScriptButtonCancels(bool cancels) override;
  int PanelMode() const override;
  bool PanelOpen() const override;
  void OpenScriptPanel() override;
  void HidePanel() override;

  void ShowMessage(std::string_view text, std::string_view caption) override;
  void RaiseEvent(ProgramEvent event, std::string_view text) override;
  void Beep() override;

  std::string HoldReason() const override;
  int RunState() const override;
  void SetRunState(int state) override;
  void SetTimer1Period(int milliseconds) override;
  void SimulationStep() override;

  void RedrawPlot() override;
  void ClearAll() override;
  void SetTimeBaseResetPending() override;

  void SendSpectrometerText(std::string_view text) override;
  void SetWavelength(char mode, std::string_view number) override;
  void ZeroAbsorbance() override;
  void SetSampleRecording(bool on) override;
  void SetProbeRecording(bool on) override;
  bool SpectrometerPortOpen() const override;
  void RefreshSpectrometerLink() override;

 private:
  FormA& form_;
};

}  // namespace vireo
