#pragma once
// A script host in memory: the engine's view of the program, recording what
// the engine does. The display log holds lines as the window shows them.

#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "scripting/display_log_format.h"
#include "scripting/script_engine.h"
#include "shell/shell_state.h"

namespace vireo::testing {

class FakeScriptHost final : public ScriptHost {
 public:
  bool SendControllerCommand(std::string_view text, bool echo) override {
    if (echo) Append(engine->LoopLevel, text);
    sent.emplace_back(text);
    return linkOpen;
  }
  std::string ApplyCommandLocally(std::string_view text) override { return std::string(text); }
  ControllerState& Controller() override { return controller; }
  ReplyLog& ReplyLogSwitches() override { return replyLog; }
  ReadingBeep& ReadingBeepSwitches() override { return beeps; }
  bool RampActive() const override { return rampActive; }
  void SetRampActive(bool on) override { rampActive = on; }

  void AppendToDisplayLog(int level, std::string_view text) override { Append(level, text); }
  void AppendWideToDisplayLog(int level, std::string_view utf8) override { Append(level, utf8); }
  bool ShowComments() const override { return showComments; }
  void SetDisplayAlert(bool on) override { alert = on; }
  void ShowDelayPanel(bool shown) override { delayPanel = shown; }
  void SetDelayLabel(std::string_view text) override { delayLabel = text; }
  void SetDelayDisplay(std::string_view text) override { delayDisplay = text; }
  void SetClearButtonCancelsLoop(bool on) override { clearCancelsLoop = on; }
  void SetRunScriptButtonCancels(bool on) override { runButtonCancels = on; }
  int PanelMode() const override { return panelMode; }
  bool PanelOpen() const override { return panelOpen; }
  void OpenScriptPanel() override { panelOpen = true; }
  void HidePanel() override {
    panelOpen = false;
    ++panelHidden;
  }

  void ShowMessage(std::string_view text, std::string_view caption) override {
    messages.push_back(std::string(caption) + ": " + std::string(text));
    if (whileMessage) whileMessage();
  }
  void Beep() override { ++beepCount; }
  void RaiseEvent(vireo::ProgramEvent event, std::string_view text) override {
    raised.push_back(std::string(vireo::EventName(event)) + ": " + std::string(text));
  }

  std::string HoldReason() const override { return holdReason; }
  int RunState() const override { return runState; }
  void SetRunState(int state) override { runState = state; }
  void SetTimer1Period(int ms) override { timerPeriod = ms; }
  void SimulationStep() override { ++simulationSteps; }

  void RedrawPlot() override { events.push_back("redraw"); }
  void ClearAll() override { events.push_back("clear all"); }
  void SetTimeBaseResetPending() override { events.push_back("time base reset"); }

  void SendSpectrometerText(std::string_view text) override { events.push_back("spectrometer " + std::string(text)); }
  void SetWavelength(char mode, std::string_view number) override {
    events.push_back(std::string("wavelength '") + mode + "' " + std::string(number));
    if (whileWavelength) whileWavelength();
  }
  void ZeroAbsorbance() override { events.push_back("zero"); }
  void SetSampleRecording(bool on) override { events.push_back(on ? "sample on" : "sample off"); }
  void SetProbeRecording(bool on) override { events.push_back(on ? "probe on" : "probe off"); }
  bool SpectrometerPortOpen() const override { return spectrometerOpen; }
  void RefreshSpectrometerLink() override { ++refreshes; }

  void Append(int level, std::string_view text) { log.push_back(DisplayLogLine(level, text)); }
  // A controller with a cuvette changer, so that scripted moves are sent.
  static ControllerState WithChanger() {
    ControllerState c;
    c.HasChanger = true;
    return c;
  }

  ScriptEngine* engine = nullptr;
  ControllerState controller = WithChanger();
  ReplyLog replyLog;
  ReadingBeep beeps;
  bool linkOpen = true;
  bool rampActive = false;
  bool showComments = false;
  bool alert = false;
  bool delayPanel = false;
  std::string delayLabel;
  std::string delayDisplay;
  bool clearCancelsLoop = false;
  bool runButtonCancels = false;
  int panelMode = kPanelScript;
  bool panelOpen = true;
  int panelHidden = 0;
  std::vector<std::string> messages;  // "caption: text"
  std::function<void()> whileMessage;  // runs while a box is open
  std::function<void()> whileWavelength;  // runs while the wavelength is set (it may open a box)
  int beepCount = 0;
  int runState = kRunIdleTimer;
  std::string holdReason;
  int timerPeriod = 0;
  int simulationSteps = 0;
  bool spectrometerOpen = false;
  int refreshes = 0;
  std::vector<std::string> sent;
  std::vector<std::string> log;
  std::vector<std::string> events;
  std::vector<std::string> raised;  // "event-name: text"
};

// An engine on a fake host, with scripts written in the test.
struct EngineFixture {
  FakeScriptHost host;
  ScriptEngine engine{host};
  EngineFixture() { host.engine = &engine; }

  static std::string Script(std::string_view body, std::string_view interval = "1") {
    return "CONTROLLER SCRIPT\r\nINTERVAL = " + std::string(interval) + "\r\n" + std::string(body);
  }
  bool Start(std::string_view body) { return engine.StartScriptText("test.txt", Script(body)); }
  // Starts and runs the banner tick: the next tick carries out the first command.
  void RunBanner(std::string_view body) {
    Start(body);
    Tick();
  }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) engine.Tick();
  }
  // Cancels the script and forgets what the cancel sent and showed.
  void Stop() {
    engine.Cancel();
    host.sent.clear();
    host.log.clear();
  }
  // What was sent and shown since the last call.
  std::vector<std::string> TakeSent() { return std::exchange(host.sent, {}); }
  std::vector<std::string> TakeLog() { return std::exchange(host.log, {}); }
};

}  // namespace vireo::testing
