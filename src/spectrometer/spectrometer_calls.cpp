// The main window's side of the spectrometer window: opening it, handing it
// readings, and the spectrometer commands of the command panel and scripts.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QTimer>

#include "recording/series_memo.h"
#include "shell/form_a.h"
#include "shell/widgets.h"
#include "spectrometer/form_s.h"

namespace vireo {
namespace {
const QString kSpectrometerLost = QStringLiteral("Spectrometer link lost on ");
}  // namespace

void FormA::AttachSpectrometerWindow(TFormS& window) {
  FormS = &window;
  window.onCellModeChanged = [this](bool sixCells) {
    Controller.PositionCount = sixCells ? 6 : 1;
    // Six simulated cells show their changer traffic in the script panel.
    const bool panelOpen = M_Tools_HideWindow->isEnabled();
    if (!sixCells && panelOpen) M_Tools_HideWindowClick(M_Tools_HideWindow);
    if (sixCells && !panelOpen) M_Tools_ScriptWindow_Click(M_Tools_ScriptWindow);
    SeriesMemos[0]->ClearAll();
    SeriesMemos[2]->ClearAll();
  };
  window.onNotice = [this](std::string_view text) { AppendToDisplayLog(-1, text); };
  window.onLinkLost = [this](bool lost, const std::string& port) { ShowSpectrometerLinkLost(lost, port); };
}

void FormA::ShowSpectrometerLinkLost(bool lost, const std::string& port) {
  // The strip may already say something of the controller: the spectrometer's
  // sentence goes after it and leaves with the loss.
  QString text = Panel_ErrorNotice->isHidden() ? QString() : L_ErrorNotice->text();
  const qsizetype ours = text.indexOf(kSpectrometerLost);
  if (ours >= 0) text = text.left(ours).trimmed();
  if (lost) {
    if (!text.isEmpty()) text += QStringLiteral("  ");
    text += kSpectrometerLost + QString::fromStdString(port) +
            QStringLiteral(": trying it again every %1 s; the readings so far are kept.").arg(TFormS::kReconnectMs / 1000);
  }
  L_ErrorNotice->setText(text);
  L_ErrorNotice->setToolTip(text);
  Panel_ErrorNotice->setVisible(!text.isEmpty());
  AlignPanels();
  if (lost == spectrometerLinkLost_) return;
  spectrometerLinkLost_ = lost;
  // A Restart while the link is lost gives it up with the port closed: nothing came back.
  if (!lost && !SpectrometerPortOpen()) return;
  RaiseEvent(lost ? ProgramEvent::LinkLost : ProgramEvent::LinkBack,
             (lost ? "Lost the spectrometer on " : "The spectrometer is back on ") + port);
}

void FormA::SetNoticeText(const QString& text) {
  // A sentence the user cleared stays cleared.
  QString kept;
  if (spectrometerLinkLost_ && !Panel_ErrorNotice->isHidden()) {
    const QString shown = L_ErrorNotice->text();
    const qsizetype at = shown.indexOf(kSpectrometerLost);
    if (at >= 0) kept = shown.mid(at);
  }
  if (text.isEmpty() || kept.isEmpty()) {
    L_ErrorNotice->setText(text + kept);
  } else {
    L_ErrorNotice->setText(text + QStringLiteral("  ") + kept);
  }
}

void FormA::M_SpectrometerClick(QObject*) {
  if (!FormS) return;
  if (!FormS->State.PortsListed) {
    FormS->State.PortsListed = true;
    FormS->ListSpectrometerPorts();
    if (RunState == kRunIdle) {
      // The link refresh runs on Timer1.
      RunState = kRunIdleTimer;
      Timer1->setInterval(600);
      Timer1->start();
    }
  }
  FormS->setVisible(FormS->isHidden());
  if (FormS->isVisible()) FormS->raise();
  if (!FormS->State.MainWindowShown) hide();
}

void FormA::RequestReading(char kind, std::string_view record) {
  if (!FormS) return;
  const bool wanted = kind == 'P' ? FormS->State.RecordProbe : FormS->State.RecordSample;
  if (wanted) FormS->RequestReading(kind, record);
}

void FormA::UpdateProbeBox(bool) {
  if (FormS) FormS->UpdateProbeBox();
}

bool FormA::SpectrometerPortOpen() const { return FormS && FormS->SpectrometerPortOpen(); }

void FormA::SpectrometerLinkRefresh() {
  if (SpectrometerPortOpen()) FormS->Btn_COMClick(nullptr);
}

void FormA::SpectrometerSend(std::string_view text) {
  if (!FormS) return;
  const std::string command = FreeSpectrometerCommand(text);
  if (!FormS->SendSpectrometerCommand(command)) {
    AppendToDisplayLog(-1, command.size() > 9 ? "Spectrometer command not sent: at most 9 characters (" + command + ")"
                                              : "Spectrometer command not sent: too many commands waiting (" + command + ")");
  }
}

void FormA::SpectrometerWavelength(char mode, std::string_view number) {
  if (!FormS) return;
  std::string entry(1, mode);  // appended, not "+": g++ 12 warns wrongly (-Wrestrict) when optimising
  entry.append(number);
  FormS->SetWavelength(entry);
}

void FormA::SpectrometerZero() {
  if (FormS) FormS->Btn_AutoZeroClick(nullptr);
}

void FormA::SpectrometerRecordSample(bool on) {
  if (!FormS) return;
  FormS->CkB_Sample->setChecked(on);
  FormS->CkB_SampleClick(nullptr);
}

void FormA::SpectrometerRecordProbe(bool on) {
  if (!FormS) return;
  FormS->CkB_Probe->setChecked(on);
  FormS->CkB_ProbeClick(nullptr);
}

}  // namespace vireo
