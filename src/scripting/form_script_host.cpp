#include "scripting/form_script_host.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "control/wide_text.h"
#include "shell/form_a.h"
#include "shell/services.h"

namespace vireo {

bool FormScriptHost::SendControllerCommand(std::string_view text, bool echo) {
  return form_.SendControllerCommand(text, echo ? 1 : 0) > 0;
}

std::string FormScriptHost::ApplyCommandLocally(std::string_view text) {
  std::string command(text);
  form_.ApplyCommandLocally(command);
  return command;
}

ControllerState& FormScriptHost::Controller() { return form_.Controller; }
ReplyLog& FormScriptHost::ReplyLogSwitches() { return form_.Log; }
ReadingBeep& FormScriptHost::ReadingBeepSwitches() { return form_.Beeps; }
bool FormScriptHost::RampActive() const { return form_.RampActive; }
void FormScriptHost::SetRampActive(bool on) { form_.RampActive = on; }

void FormScriptHost::AppendToDisplayLog(int level, std::string_view text) { form_.AppendToDisplayLog(level, text); }

void FormScriptHost::AppendWideToDisplayLog(int level, std::string_view utf8) {
  form_.AppendWideToDisplayLog(level, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

bool FormScriptHost::ShowComments() const { return form_.ShowComments; }

void FormScriptHost::SetDisplayAlert(bool on) {
  QPalette palette = form_.ScriptDisplay->palette();
  palette.setColor(QPalette::Base, on ? QColor(0, 255, 255) : QApplication::palette().color(QPalette::Base));
  form_.ScriptDisplay->setPalette(palette);
}

void FormScriptHost::ShowDelayPanel(bool shown) { form_.Delay_Panel->setVisible(shown); }
void FormScriptHost::SetDelayLabel(std::string_view text) { form_.Delay_Label->setText(Widened(text)); }
void FormScriptHost::SetDelayDisplay(std::string_view text) { form_.Delay_Display->setText(Widened(text)); }

void FormScriptHost::SetClearButtonCancelsLoop(bool cancelsLoop) {
  form_.Btn_Clear->setText(cancelsLoop ? QStringLiteral("Cancel Loop") : QStringLiteral("Clear Display"));
  form_.Btn_Clear->setToolTip(cancelsLoop ? QStringLiteral("Cancel the current loop")
                                          : QStringLiteral("Clear the Display window"));
}

void FormScriptHost::SetRunScriptButtonCancels(bool cancels) {
  form_.Btn_RunScript->setText(cancels ? QStringLiteral("Cancel Script") : QStringLiteral("Run Script File"));
  form_.Btn_RunScript->setToolTip(cancels ? QStringLiteral("Cancel this Script run")
                                          : QStringLiteral("Load a Script File and run the script"));
}

int FormScriptHost::PanelMode() const { return form_.Panels.PanelMode; }
bool FormScriptHost::PanelOpen() const { return form_.M_Tools_HideWindow->isEnabled(); }
void FormScriptHost::OpenScriptPanel() { form_.M_Tools_ScriptWindow_Click(nullptr); }
void FormScriptHost::HidePanel() { form_.M_Tools_HideWindowClick(form_.M_Tools_HideWindow); }

void FormScriptHost::ShowMessage(std::string_view text, std::string_view caption) {
  form_.Services().dialogs.Message(std::string(text), std::string(caption), Buttons::Ok);
}

void FormScriptHost::RaiseEvent(ProgramEvent event, std::string_view text) { form_.RaiseEvent(event, text); }

void FormScriptHost::Beep() { form_.Services().beeper.Beep(); }

std::string FormScriptHost::HoldReason() const {
  // A script must neither send into a dead link nor end a wait on values from
  // before the loss; it goes on once the controller has been read again.
  if (form_.Link.Lost()) return "the link to the controller is lost";
  // A command sent while the program asks (Exit's "Turn temperature control
  // off?") would cross what the answer does.
  if (form_.Shell.QuestionsOpen > 0) return "the program is asking a question";
  return std::string();
}

int FormScriptHost::RunState() const { return form_.RunState; }
// Offline, a script that ends (completed or cancelled) returns to offline
// work, where the simulated experiment steps on; idle would stop it for good.
void FormScriptHost::SetRunState(int state) {
  form_.RunState = state == kRunIdleTimer && form_.Recording.OfflineMode ? kRunOffline : state;
}

void FormScriptHost::SetTimer1Period(int milliseconds) {
  form_.Timer1->setInterval(milliseconds);
  form_.Timer1->start();
}

void FormScriptHost::SimulationStep() { form_.SimulationStep(); }

void FormScriptHost::RedrawPlot() { form_.RedrawPlot(); }
void FormScriptHost::ClearAll() { form_.M_Plot_ClearAllClick(form_.M_Plot_ClearAll); }
void FormScriptHost::SetTimeBaseResetPending() { form_.Recording.TimeBaseResetPending = true; }

void FormScriptHost::SendSpectrometerText(std::string_view text) { form_.SpectrometerSend(text); }
void FormScriptHost::SetWavelength(char mode, std::string_view number) { form_.SpectrometerWavelength(mode, number); }
void FormScriptHost::ZeroAbsorbance() { form_.SpectrometerZero(); }
void FormScriptHost::SetSampleRecording(bool on) { form_.SpectrometerRecordSample(on); }
void FormScriptHost::SetProbeRecording(bool on) { form_.SpectrometerRecordProbe(on); }
bool FormScriptHost::SpectrometerPortOpen() const { return form_.SpectrometerPortOpen(); }
void FormScriptHost::RefreshSpectrometerLink() { form_.SpectrometerLinkRefresh(); }

}  // namespace vireo
